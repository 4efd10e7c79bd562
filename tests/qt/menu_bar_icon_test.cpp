#include "ui/menu_bar_icon.h"
#include "support/test_process.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// The copy the build puts beside the executable.
QString bundledIconPath() {
  return QFileInfo(QString::fromStdString(tarnwickPath())).absolutePath() +
         QStringLiteral("/Tarnwick_Tarnwick.bundle/MenuBarIcon@2x.png");
}

// Pixels that differ between two images of one size.
int changedPixels(const QImage& a, const QImage& b) {
  int changed = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) changed += a.pixel(x, y) != b.pixel(x, y);
  return changed;
}

TEST(MenuBarIcon, BadgeTextClampsAtThreeDigits) {
  const std::vector<std::pair<int, QString>> rows = {
      {-4, ""}, {0, ""}, {1, "1"}, {9, "9"}, {42, "42"}, {99, "99"}, {100, "99+"}, {65535, "99+"},
  };
  for (const auto& [count, text] : rows) EXPECT_EQ(MenuBarIcon::badgeText(count), text) << count;
}

TEST(MenuBarIcon, EachCountDrawsItsOwnBadgeOnTheBundledGlyph) {
  const QImage shape = MenuBarIcon::loadShape(bundledIconPath());
  ASSERT_FALSE(shape.isNull());
  EXPECT_TRUE(shape.hasAlphaChannel());
  EXPECT_TRUE(MenuBarIcon::loadShape(QStringLiteral("/nonexistent/MenuBarIcon@2x.png")).isNull());
  EXPECT_FALSE(MenuBarIcon::fallbackShape().isNull());
  for (int side : {18, 36}) {
    const QImage plain = MenuBarIcon::render(shape, 0, side);
    // Legible on black and white panels alike: light pixels and dark ones.
    int light = 0, dark = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        if (const QColor c = plain.pixelColor(x, y); c.alpha() >= 128) {
          light += c.lightness() > 200;
          dark += c.lightness() < 60;
        }
    EXPECT_GT(std::min(light, dark), side) << side << " px";
    std::vector<QImage> badged;
    for (int count : {1, 2, 7, 42, 100}) {
      badged.push_back(MenuBarIcon::render(shape, count, side));
      EXPECT_GT(changedPixels(plain, badged.back()), side) << side << " px, count " << count;
    }
    // Different digits must look different: without a usable font every
    // glyph would be the same box.
    for (size_t i = 0; i < badged.size(); ++i)
      for (size_t j = i + 1; j < badged.size(); ++j) EXPECT_NE(badged[i], badged[j]) << side << " px";
    EXPECT_EQ(MenuBarIcon::render(shape, 100, side), MenuBarIcon::render(shape, 4000, side));
  }
}

}  // namespace
