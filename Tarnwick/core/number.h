#pragma once
// The one rule for numbers read from tool output and from the command line:
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

/// The text after the last "/", a trailing "/" ignored ("/usr/bin/" gives "bin").
std::string_view lastPathComponent(std::string_view path);

}  // namespace PortCore
