#include "ui/panel_placement.h"

#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const QPoint& point, std::ostream* out) { *out << "(" << point.x() << ", " << point.y() << ")"; }

namespace {

TEST(PanelPlacement, BelowTheItemCentredAndInsideTheFreeArea) {
  const QSize panel(380, 300);
  struct Row {
    const char* name;
    QRect item;
    QRect available;
    QPoint expected;
  };
  const std::vector<Row> rows = {
      {"item in a top bar, room all round", {600, 0, 24, 24}, {0, 24, 1280, 776}, {421, 24}},
      {"item at the right edge", {1250, 0, 24, 24}, {0, 24, 1280, 776}, {900, 24}},
      {"item at the left edge", {4, 0, 24, 24}, {0, 24, 1280, 776}, {0, 24}},
      {"cursor point in a top bar", {700, 10, 1, 1}, {0, 24, 1280, 776}, {510, 24}},
      {"item in a bottom bar opens above it", {1200, 770, 30, 30}, {0, 0, 1280, 770}, {900, 470}},
      {"cursor in a bottom bar opens above it, kept off the bar", {640, 790, 1, 1}, {0, 0, 1280, 770}, {450, 470}},
      {"second screen to the right", {2000, 0, 24, 24}, {1280, 24, 1920, 1056}, {1821, 24}},
      {"item in a left bar", {0, 400, 40, 40}, {40, 0, 1240, 800}, {40, 440}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(panelTopLeft(row.item, panel, row.available), row.expected) << row.name;
}

TEST(PanelPlacement, APanelTallerThanTheFreeAreaKeepsItsTopInside) {
  EXPECT_EQ(panelTopLeft({600, 0, 24, 24}, {380, 1000}, {0, 24, 1280, 776}), QPoint(421, 24));
  EXPECT_EQ(panelTopLeft({600, 0, 24, 24}, {2000, 300}, {0, 24, 1280, 776}), QPoint(0, 24));
}

}  // namespace
