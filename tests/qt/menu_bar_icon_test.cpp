#include "ui/menu_bar_icon.h"
#include "support/test_process.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Pixels of a square image of `side` for which `test(x, y)` holds.
int countPixels(int side, const std::function<bool(int, int)>& test) {
  int n = 0;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) n += test(x, y);
  return n;
}

TEST(MenuBarIcon, BadgeTextClampsAtThreeDigits) {
  const std::vector<std::pair<int, QString>> rows = {
      {-4, ""}, {0, ""}, {1, "1"}, {9, "9"}, {42, "42"}, {99, "99"}, {100, "99+"}, {65535, "99+"},
  };
  for (const auto& [count, text] : rows) EXPECT_EQ(MenuBarIcon::badgeText(count), text) << count;
}

TEST(MenuBarIcon, EachCountDrawsItsOwnBadgeOnTheBundledGlyph) {
  // The copy the build puts beside the executable.
  const QImage shape = MenuBarIcon::loadShape(QFileInfo(QString::fromStdString(tarnwickPath())).absolutePath() +
                                              "/Tarnwick_Tarnwick.bundle/MenuBarIcon@2x.png");
  ASSERT_TRUE(!shape.isNull() && shape.hasAlphaChannel());
  EXPECT_FALSE(MenuBarIcon::fallbackShape().isNull());
  for (int side : {18, 36}) {
    const QImage plain = MenuBarIcon::render(shape, 0, side);
    // Legible on black and white panels alike: light pixels and dark ones.
    const auto opaque = [&](bool light) {
      return countPixels(side, [&](int x, int y) {
        const QColor c = plain.pixelColor(x, y);
        return c.alpha() >= 128 && (light ? c.lightness() > 200 : c.lightness() < 60);
      });
    };
    EXPECT_GT(std::min(opaque(true), opaque(false)), side) << side << " px";
    QImage previous = plain;
    for (int count : {1, 2, 7, 42, 100}) {
      const QImage badged = MenuBarIcon::render(shape, count, side);
      EXPECT_GT(countPixels(side, [&](int x, int y) { return plain.pixel(x, y) != badged.pixel(x, y); }), side)
          << side << " px, count " << count;
      // Without a usable font every digit would be the same box.
      EXPECT_NE(badged, std::exchange(previous, badged)) << side << " px, count " << count;
    }
  }
}

}  // namespace
