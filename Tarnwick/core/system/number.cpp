#include "core/system/number.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>
#if __has_include(<xlocale.h>)
#include <xlocale.h>  // strtod_l and newlocale on macOS; glibc has them in the standard headers
#endif

namespace PortCore {

std::optional<uint64_t> parseUint64(std::string_view text) {
  uint64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<int64_t> parseInt64(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // The magnitude is unsigned so that INT64_MIN stays in range.
  auto parsed = parseUint64(text);
  if (!parsed) return std::nullopt;
  uint64_t magnitude = *parsed;
  constexpr uint64_t maxPositive = std::numeric_limits<int64_t>::max();
  if (negative) {
    if (magnitude > maxPositive + 1) return std::nullopt;
    return magnitude == maxPositive + 1 ? std::numeric_limits<int64_t>::min()
                                        : -static_cast<int64_t>(magnitude);
  }
  if (magnitude > maxPositive) return std::nullopt;
  return static_cast<int64_t>(magnitude);
}

namespace {

// The forms parseDecimal accepts, checked before strtod_l, which would also
// take leading spaces, hexadecimal, "inf" and "nan".
bool isDecimalForm(std::string_view text) {
  size_t i = 0;
  auto sign = [&] {
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  };
  auto digits = [&] {
    size_t start = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    return i > start;
  };
  sign();
  bool whole = digits();
  bool fraction = false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    fraction = digits();
  }
  if (!whole && !fraction) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    sign();
    if (!digits()) return false;
  }
  return i == text.size();
}

// The C locale, made once: the user's locale (the application sets it) may
// write the decimal point as a comma. Never freed; it lives as long as the process.
locale_t cLocale() {
  static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

std::optional<double> parseDecimal(std::string_view text) {
  if (!isDecimalForm(text) || !cLocale()) return std::nullopt;
  const std::string terminated(text);
  char* end = nullptr;
  double value = ::strtod_l(terminated.c_str(), &end, cLocale());
  if (end != terminated.c_str() + terminated.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int32_t> parseInt32(std::string_view text) {
  auto value = parseInt64(text);
  if (!value || *value < std::numeric_limits<int32_t>::min() ||
      *value > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(*value);
}

std::string_view lastPathComponent(std::string_view path) {
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);
  auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace PortCore
