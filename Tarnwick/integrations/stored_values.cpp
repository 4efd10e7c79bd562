#include "integrations/stored_values.h"

#include "core/system/number.h"
#include "core/system/text.h"

double withinRange(std::optional<double> stored, const SettingRange& range) {
  // Written so that NaN, which fails every comparison, falls back too.
  if (stored && *stored >= range.lowest && *stored <= range.highest) return *stored;
  return range.fallback;
}

std::set<int64_t> parsePortSet(std::string_view text) {
  std::set<int64_t> ports;
  for (std::string_view piece : PortCore::splitNonEmpty(text, ',')) {
    if (auto port = PortCore::parseInt64(piece)) ports.insert(*port);
  }
  return ports;
}

std::string joinPortSet(const std::set<int64_t>& ports) {
  std::string text;
  for (int64_t port : ports) {
    if (!text.empty()) text += ',';
    text += std::to_string(port);
  }
  return text;
}
