#include "integrations/executable_search.h"

#include "core/system/program_paths.h"

#include <cstdlib>

namespace Executables {

std::string currentSearchPath() {
  const char* path = std::getenv("PATH");
  return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

std::optional<std::string> find(std::string_view name, std::string_view searchPath) {
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  size_t start = 0;
  while (start <= searchPath.size()) {
    size_t end = searchPath.find(':', start);
    if (end == std::string_view::npos) end = searchPath.size();
    // An empty entry means the current directory to a shell; a notification or
    // an editor must not be started from wherever we happen to be.
    if (end > start) {
      std::string candidate(searchPath.substr(start, end - start));
      candidate += '/';
      candidate += name;
      if (PortCore::isExecutableFile(candidate)) return candidate;
    }
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace Executables
