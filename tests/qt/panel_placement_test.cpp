#include "ui/panel_placement.h"

#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const QPoint& point, std::ostream* out) { *out << "(" << point.x() << ", " << point.y() << ")"; }

namespace {

// A click on a panel strip is where the tray item is; otherwise the last such
// click, else the end of the edge a panel reserves. Never a pointer mid-screen.
TEST(PanelPlacement, OpensAtTheClickOnAStripElseTheLastElseTheReservedEdge) {
  const QSize panel(380, 300);
  const QRect screen(0, 0, 1280, 800);
  const std::vector<ScreenArea> top = {{screen, {0, 28, 1280, 772}}}, bottom = {{screen, {0, 0, 1280, 772}}},
                                left = {{screen, {40, 0, 1240, 800}}}, right = {{screen, {0, 0, 1240, 800}}},
                                none = {{screen, screen}},
                                twoTops = {top[0], {{1280, 0, 1920, 1080}, {1280, 28, 1920, 1052}}};
  const std::optional<QPoint> no, onTop = QPoint(700, 14), midScreen = QPoint(640, 400);
  struct Row {
    const char* name;
    std::optional<QPoint> pointer, lastClick;
    std::vector<ScreenArea> areas;
    QPoint at;
  };
  const std::vector<Row> rows = {
      {"click on a top strip", onTop, no, top, {510, 28}},
      {"click on a bottom strip opens above it", QPoint(700, 786), onTop, bottom, {510, 472}},
      {"click on a left strip", QPoint(20, 400), no, left, {40, 401}},
      {"click on a second screen's strip", QPoint(2000, 14), no, twoTops, {1810, 28}},
      {"activation mid-screen, last click known", midScreen, onTop, top, {510, 28}},
      {"menu, last click known", no, onTop, top, {510, 28}},
      {"activation at the origin, no click: the top edge's right end", QPoint(0, 0), no, top, {900, 28}},
      {"menu, no click, two screens: the primary's top edge", no, no, twoTops, {900, 28}},
      {"menu, no click, bottom edge", no, no, bottom, {900, 472}},
      {"menu, no click, left edge: its lower end", no, no, left, {40, 500}},
      {"menu, no click, right edge", no, no, right, {860, 500}},
      {"activation mid-screen, no click, no reserved edge", midScreen, no, none, {900, 0}},
  };
  for (const auto& row : rows)
    EXPECT_EQ(panelPosition(row.pointer, row.lastClick, panel, row.areas), row.at) << row.name;
  // Centred under the click, but a panel larger than the free area keeps its top-left corner in it.
  EXPECT_EQ(panelPosition(onTop, no, {380, 1000}, top), QPoint(510, 28));
  EXPECT_EQ(panelPosition(onTop, no, {2000, 300}, top), QPoint(0, 28));
}

}  // namespace
