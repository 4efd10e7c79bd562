#include "integrations/stored_values.h"

#include <gtest/gtest.h>

#include <limits>

TEST(SettingRange, OnlyFiniteValuesWithinTheBoundsAreUsed) {
  constexpr SettingRange interval{0.5, 3600, 3};
  constexpr double inf = std::numeric_limits<double>::infinity();
  const std::pair<std::optional<double>, double> rows[] = {
      {std::nullopt, 3},
      {1.5, 1.5},
      {0.5, 0.5},
      {3600, 3600},
      {0.4999, 3},
      {3600.001, 3},
      {inf, 3},
      {std::numeric_limits<double>::quiet_NaN(), 3},
  };
  for (const auto& [stored, expected] : rows) EXPECT_EQ(withinRange(stored, interval), expected) << stored.value_or(-1);
}
