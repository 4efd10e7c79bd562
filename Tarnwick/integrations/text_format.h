#pragma once
// printf-style substitution for texts that come from the strings tables.
// The format is data, not code: it is never handed to printf.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

using FormatArg = std::variant<std::string, int64_t>;

namespace L10n {

/// `format` with its placeholders replaced by `args`:
///   %@      a text, or an integer in decimal
///   %s      a text
///   %d %i   an integer in decimal (%u: as unsigned 64-bit)
///   %%      a percent sign
/// with optional length modifiers (l, ll, q, h, hh, z, j, t), and positional
/// forms (%1$@, %2$d) that count from 1. Placeholders without a position take
/// the arguments in order. A placeholder that does not fit (no such argument,
/// an argument of the other kind, an unknown conversion, flags, width or
/// precision) renders as nothing.
std::string formatText(std::string_view format, const std::vector<FormatArg>& args);

}  // namespace L10n
