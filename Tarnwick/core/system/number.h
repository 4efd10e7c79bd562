#pragma once
// The one rule for numbers read from tool output, files and the command line:
// an optional "+" or "-", then ASCII digits only, within the target type's range.
#include <cstdint>
#include <optional>
#include <string_view>

namespace PortCore {

/// The value of `text` under the number rule; absent for anything else
/// (empty, a sign alone, other characters, out of range).
std::optional<int64_t> parseInt64(std::string_view text);
/// As parseInt64, within the signed 32-bit range.
std::optional<int32_t> parseInt32(std::string_view text);
/// ASCII digits only (no sign), within the unsigned 64-bit range: inodes and
/// counters; absent for anything else.
std::optional<uint64_t> parseUint64(std::string_view text);

/// The value of a decimal number: an optional "+" or "-", digits with an
/// optional fraction (".5" and "5." too), an optional exponent ("1e3"); read
/// the same whatever the process's locale. Absent for anything else
/// (whitespace, hexadecimal, "inf", "nan", a value beyond double's range).
std::optional<double> parseDecimal(std::string_view text);

/// An ASCII digit, whatever the process's locale (std::isdigit is not).
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// The text after the last "/", a trailing "/" ignored ("/usr/bin/" gives "bin").
std::string_view lastPathComponent(std::string_view path);

}  // namespace PortCore
