#include "integrations/resource_bundle.h"

namespace L10n {

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
