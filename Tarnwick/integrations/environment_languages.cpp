#include "integrations/language.h"

#include <cstdlib>

namespace L10n {

std::vector<std::string> environmentLanguages() {
  return languagesFromEnvironment([](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
  });
}

}  // namespace L10n
