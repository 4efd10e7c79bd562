#include "integrations/language.h"

#include "core/system/text.h"
#include "integrations/l10n.h"

#include <cstdlib>

namespace L10n {

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::optional<std::string> languageOfLocale(const std::string& locale) {
  size_t end = locale.find_first_of("_.@-");
  std::string language = locale.substr(0, end);
  if (language.size() < 2 || language.size() > 3) return std::nullopt;
  for (char& c : language) {
    if (!isAsciiLetter(c)) return std::nullopt;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return language;
}

std::vector<std::string> languagesFromEnvironment(
    const std::function<std::optional<std::string>(const char*)>& variable) {
  std::vector<std::string> locales;
  if (auto list = variable("LANGUAGE"))
    for (auto entry : PortCore::splitNonEmpty(*list, ':')) locales.emplace_back(entry);
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (auto value = variable(name)) locales.push_back(*value);

  std::vector<std::string> languages;
  for (const auto& locale : locales)
    if (auto language = languageOfLocale(locale)) languages.push_back(*language);
  return languages;
}

std::string chooseLanguage(const std::optional<std::string>& appLanguage,
                           const std::vector<std::string>& preferred, const Catalog& catalog) {
  std::string choice = appLanguage.value_or("system");
  if ((choice == "en" || choice == "tr") && catalog.table(choice)) return choice;
  for (const auto& language : preferred)
    if (catalog.table(language)) return language;
  return "en";
}

std::vector<std::string> environmentLanguages() {
  return languagesFromEnvironment([](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
  });
}

}  // namespace L10n
