#include "core/system/program_paths.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <mach-o/dyld.h>
#include <vector>

namespace PortCore {

std::string runningExecutablePath() {
  uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::vector<char> buffer(size + 1, '\0');
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) return {};
  // The reported path may run through symbolic links; what lies beside the
  // executable lies beside the real file.
  char resolved[PATH_MAX];
  if (!::realpath(buffer.data(), resolved)) return buffer.data();
  return resolved;
}

// An application bundle keeps its executable in X.app/Contents/MacOS and its
// resources in X.app/Contents/Resources.
std::optional<std::filesystem::path> applicationResources(const std::filesystem::path& executable) {
  auto macos = executable.parent_path();
  auto contents = macos.parent_path();
  if (macos.filename() != "MacOS" || contents.filename() != "Contents") return std::nullopt;
  if (contents.parent_path().extension() != ".app") return std::nullopt;
  return contents / "Resources";
}

}  // namespace PortCore

namespace ToolPaths {

const char* const lsof = "/usr/sbin/lsof";
const char* const ps = "/bin/ps";

std::vector<std::string> dockerCandidates() { return {"/usr/local/bin/docker", "/opt/homebrew/bin/docker"}; }

}  // namespace ToolPaths
