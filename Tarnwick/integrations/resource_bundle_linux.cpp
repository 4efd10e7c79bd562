#include "integrations/resource_bundle.h"

namespace L10n {

std::optional<std::filesystem::path> applicationResources(const std::filesystem::path&) {
  return std::nullopt;
}

}  // namespace L10n
