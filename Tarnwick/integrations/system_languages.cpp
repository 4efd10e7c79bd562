#include "integrations/language.h"

#include <cstdlib>
#include <mutex>

namespace L10n {

namespace {

// macOS keeps the user's language list in its preferences, which only the Qt
// module reads; it hands the list over at start. The environment serves the
// rest: Linux, and the command-line executable on macOS, where a shell sets LANG.
std::mutex mutex;
std::optional<std::vector<std::string>>& handedOver() {
  static std::optional<std::vector<std::string>> languages;
  return languages;
}

const std::vector<std::string>& environmentLanguages() {
  static const std::vector<std::string> languages =
      languagesFromEnvironment([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (!value) return std::nullopt;
        return std::string(value);
      });
  return languages;
}

}  // namespace

std::vector<std::string> systemLanguages() {
  {
    std::lock_guard lock(mutex);
    if (handedOver()) return *handedOver();
  }
  return environmentLanguages();
}

void setSystemLanguages(std::vector<std::string> languages) {
  std::lock_guard lock(mutex);
  handedOver() = std::move(languages);
}

}  // namespace L10n
