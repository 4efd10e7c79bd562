#pragma once
// The rule for numbers read from the preferences store: a stored value is used
// only when it is finite and within its setting's bounds, so a hand-edited or
// damaged file can neither spin a timer nor overflow an integer.
#include <optional>

struct SettingRange {
  double lowest;
  double highest;
  double fallback;  ///< the default, used for anything out of bounds
};

/// `stored` when it is finite and within [lowest, highest]; else the fallback
/// (also when nothing is stored).
double withinRange(std::optional<double> stored, const SettingRange& range);
