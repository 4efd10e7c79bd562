#pragma once
// Which language's strings table a lookup reads.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace L10n {

class Catalog;

/// The language code a locale name names: "tr_TR.UTF-8" and "tr" name "tr",
/// "pt-BR" names "pt"; "C", "POSIX", "C.UTF-8", the empty text and anything
/// that does not start with two or three ASCII letters name none.
std::optional<std::string> languageOfLocale(const std::string& locale);

/// The languages the environment prefers, best first: every entry of
/// LANGUAGE (a colon-separated list), then LC_ALL, LC_MESSAGES and LANG.
/// `variable` gives a variable's value, absent when unset.
std::vector<std::string> languagesFromEnvironment(
    const std::function<std::optional<std::string>(const char*)>& variable);

/// languagesFromEnvironment() of this process's environment: the system's
/// languages on Linux, and for the command line on macOS, where a shell sets
/// LANG. The macOS application reads the user's list through the toolkit.
std::vector<std::string> environmentLanguages();

/// The language that lookups read: `appLanguage` when it is "en" or "tr" and
/// `catalog` has a directory for it; otherwise (absent, "system", any other
/// code) the first of `preferred` that `catalog` has; otherwise "en".
std::string chooseLanguage(const std::optional<std::string>& appLanguage,
                           const std::vector<std::string>& preferred, const Catalog& catalog);

}  // namespace L10n
