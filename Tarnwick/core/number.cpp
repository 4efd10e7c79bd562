#include "core/number.h"

#include <charconv>
#include <limits>

namespace PortCore {

std::optional<int64_t> parseInt64(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulate the magnitude as unsigned so that INT64_MIN stays in range.
  uint64_t magnitude = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, magnitude);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  constexpr uint64_t maxPositive = std::numeric_limits<int64_t>::max();
  if (negative) {
    if (magnitude > maxPositive + 1) return std::nullopt;
    return magnitude == maxPositive + 1 ? std::numeric_limits<int64_t>::min()
                                        : -static_cast<int64_t>(magnitude);
  }
  if (magnitude > maxPositive) return std::nullopt;
  return static_cast<int64_t>(magnitude);
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
