#include "ui/menu_bar_icon.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuBarIcon, BadgeTextClampsAtThreeDigits) {
  const std::vector<std::pair<int, QString>> rows = {
      {-4, ""}, {0, ""}, {1, "1"}, {9, "9"}, {42, "42"}, {99, "99"}, {100, "99+"}, {65535, "99+"},
  };
  for (const auto& [count, text] : rows) EXPECT_EQ(MenuBarIcon::badgeText(count), text) << count;
}

}  // namespace
