#include "integrations/resource_bundle.h"

#include <system_error>

namespace L10n {

std::optional<std::filesystem::path> executablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || path.empty()) return std::nullopt;
  return path;
}

std::optional<std::filesystem::path> applicationResources(const std::filesystem::path&) {
  return std::nullopt;
}

}  // namespace L10n
