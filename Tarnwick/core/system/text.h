#pragma once
// Small text helpers shared by the parsers.
#include <string>
#include <string_view>
#include <vector>

namespace PortCore {

/// The lines of `text` split at line feeds, empty lines dropped. The views
/// point into `text`.
std::vector<std::string_view> splitLines(std::string_view text);

/// Pieces of `text` split at `separator`, empty pieces dropped.
std::vector<std::string_view> splitNonEmpty(std::string_view text, char separator);

/// The length of the valid UTF-8 sequence `bytes` starts with (1 to 4); 0 when
/// it starts with none (an overlong form, a surrogate, a cut or stray byte).
size_t validUtf8Length(std::string_view bytes);
/// The code point of the valid sequence of `length` bytes that `bytes` starts with.
char32_t codePointOf(std::string_view bytes, size_t length);
/// `code` in UTF-8, appended to `out`.
void appendUtf8(std::string& out, char32_t code);

/// `bytes` as valid UTF-8: every invalid sequence becomes U+FFFD, so one odd
/// process name cannot blank a whole tool run.
std::string decodeUtf8Lossy(std::string_view bytes);

/// `text` without spaces, tabs, carriage returns and line feeds at either end.
std::string_view trimWhitespace(std::string_view text);
/// `text` without any of the characters in `blanks` at either end.
std::string_view trim(std::string_view text, std::string_view blanks);

}  // namespace PortCore
