#include "integrations/resource_bundle.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <mach-o/dyld.h>
#include <vector>

namespace L10n {

std::optional<std::filesystem::path> executablePath() {
  uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::vector<char> buffer(size + 1, '\0');
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) return std::nullopt;
  // The reported path may run through symbolic links; the bundle lies beside
  // the real file.
  char resolved[PATH_MAX];
  if (!realpath(buffer.data(), resolved)) return std::filesystem::path(buffer.data());
  return std::filesystem::path(resolved);
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

}  // namespace L10n
