#include "integrations/setting_range.h"

double withinRange(std::optional<double> stored, const SettingRange& range) {
  // Written so that NaN, which fails every comparison, falls back too.
  if (stored && *stored >= range.lowest && *stored <= range.highest) return *stored;
  return range.fallback;
}
