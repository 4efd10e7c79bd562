#include "integrations/language.h"

#include <CoreFoundation/CoreFoundation.h>

namespace L10n {

namespace {

std::optional<std::string> utf8(CFStringRef text) {
  char buffer[128];
  if (!CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8)) return std::nullopt;
  return std::string(buffer);
}

// The user's language list from System Settings, best first ("tr-TR", "en-US").
std::vector<std::string> preferredLanguages() {
  std::vector<std::string> languages;
  CFArrayRef list = CFLocaleCopyPreferredLanguages();
  if (!list) return languages;
  for (CFIndex i = 0; i < CFArrayGetCount(list); ++i) {
    auto item = static_cast<CFStringRef>(CFArrayGetValueAtIndex(list, i));
    if (auto locale = utf8(item))
      if (auto language = languageOfLocale(*locale)) languages.push_back(*language);
  }
  CFRelease(list);
  return languages;
}

}  // namespace

const std::vector<std::string>& systemLanguages() {
  static const std::vector<std::string> languages = preferredLanguages();
  return languages;
}

}  // namespace L10n
