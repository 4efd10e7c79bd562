#pragma once
// Localised texts, looked up by key in the resource bundle's strings tables.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

using FormatArg = std::variant<std::string, int64_t>;

namespace L10n {

/// The text of `key` in the chosen language ("appLanguage": "system", "en",
/// "tr"); the key itself when the table lacks it.
std::string text(const std::string& key);

/// text(key) used as a printf-style format with `args` in order (%@, %s, %d,
/// %ld, %%, positional %1$@). A placeholder that does not fit renders empty.
std::string format(const std::string& key, const std::vector<FormatArg>& args);

}  // namespace L10n
