#include "integrations/language.h"

#include <cstdlib>

namespace L10n {

const std::vector<std::string>& systemLanguages() {
  static const std::vector<std::string> languages =
      languagesFromEnvironment([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (!value) return std::nullopt;
        return std::string(value);
      });
  return languages;
}

}  // namespace L10n
