#include "ui/menu_bar_icon.h"

#include <QPixmap>
#include <gtest/gtest.h>

namespace {

// Two counts a user can tell apart at a glance differ in a few whole pixels,
// not in the shading of a blurred one: one pixel is a smudge, three are a stroke.
constexpr int kMinDifferingPixels = 3;

// Pixels whose share of the light fill differs by more than half. The digits
// are where the pill's light is missing, so this is where two counts differ.
int differingPixels(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      differing += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 127;
  return differing;
}

TEST(MenuBarIcon, BadgeTextClampsAtThreeDigits) {
  const std::vector<std::pair<int, QString>> rows = {
      {-4, ""}, {0, ""}, {1, "1"}, {9, "9"}, {42, "42"}, {99, "99"}, {100, "99+"}, {65535, "99+"},
  };
  for (const auto& [count, text] : rows) EXPECT_EQ(MenuBarIcon::badgeText(count), text) << count;
}

// The count as a 16-pixel host takes it out of the icon.
TEST(MenuBarIcon, EveryTwoDigitCountReadsApartFromEveryOtherAt16Pixels) {
  std::vector<QImage> images;
  for (int count = 10; count <= 99; ++count) {
    const QImage image = MenuBarIcon::icon(MenuBarIcon::shape(), count).pixmap(QSize(16, 16)).toImage();
    images.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  }
  for (size_t i = 0; i < images.size(); ++i)
    for (size_t j = i + 1; j < images.size(); ++j)
      EXPECT_GE(differingPixels(images[i], images[j]), kMinDifferingPixels) << i + 10 << " and " << j + 10;
}

}  // namespace
