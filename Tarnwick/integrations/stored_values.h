#pragma once
// Values as the preferences store keeps them. A stored number is used only
// when it is finite and within its setting's bounds, so a hand-edited or
// damaged file can neither spin a timer nor overflow an integer. A set of
// ports (the watched and the hidden ones) is kept as text: decimal numbers
// joined by ",".
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

struct SettingRange {
  double lowest;
  double highest;
  double fallback;  ///< the default, used for anything out of bounds
};

/// `stored` when it is finite and within [lowest, highest]; else the fallback
/// (also when nothing is stored).
double withinRange(std::optional<double> stored, const SettingRange& range);

/// The numbers of `text` split at ","; empty pieces and pieces that are not
/// numbers (spaces included) are dropped.
std::set<int64_t> parsePortSet(std::string_view text);
/// The members in decimal joined by "," with no spaces; "" for none.
std::string joinPortSet(const std::set<int64_t>& ports);
