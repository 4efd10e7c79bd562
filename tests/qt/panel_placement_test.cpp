#include "ui/panel_placement.h"

#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const QPoint& point, std::ostream* out) { *out << "(" << point.x() << ", " << point.y() << ")"; }

namespace {

// A click on a panel strip is where the tray item is; otherwise the last such
// click, else the end of the edge a panel reserves. Never a pointer mid-screen.
// Grown while shown, the panel keeps its edge on the item's side.
TEST(PanelPlacement, OpensAtTheItemAndGrowsAwayFromItsStrip) {
  const QSize opened(380, 186), grown(380, 420);  // empty, then with its rows
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
    QPoint opened, grown;
  };
  const std::vector<Row> rows = {
      {"click on a top strip", onTop, no, top, {510, 28}, {510, 28}},
      {"click on a bottom strip: above it, rows arriving grow it upward", QPoint(700, 786), onTop, bottom,
       {510, 586}, {510, 352}},
      {"click on a left strip", QPoint(20, 400), no, left, {40, 401}, {40, 380}},
      {"click on a second screen's strip", QPoint(2000, 14), no, twoTops, {1810, 28}, {1810, 28}},
      {"activation mid-screen, last click known", midScreen, onTop, top, {510, 28}, {510, 28}},
      {"activation at the origin, no click: the top edge's right end", QPoint(0, 0), no, top, {900, 28}, {900, 28}},
      {"menu, no click, two screens: the primary's top edge", no, no, twoTops, {900, 28}, {900, 28}},
      {"menu, no click, bottom edge", no, no, bottom, {900, 586}, {900, 352}},
      {"menu, no click, left edge: its lower end", no, no, left, {40, 614}, {40, 380}},
      {"menu, no click, right edge", no, no, right, {860, 614}, {860, 380}},
      {"activation mid-screen, no click, no reserved edge", midScreen, no, none, {900, 0}, {900, 0}},
  };
  for (const auto& row : rows) {
    const PanelAnchor anchor = panelAnchor(row.pointer, row.lastClick, row.areas);
    EXPECT_EQ(panelTopLeft(anchor, opened), row.opened) << row.name;
    EXPECT_EQ(panelTopLeft(anchor, grown), row.grown) << row.name << ", grown";
  }
  // Centred under the click, but a panel larger than the free area keeps its top-left corner in it.
  EXPECT_EQ(panelTopLeft(panelAnchor(onTop, no, top), {380, 1000}), QPoint(510, 28));
  EXPECT_EQ(panelTopLeft(panelAnchor(onTop, no, top), {2000, 300}), QPoint(0, 28));
}

// A host that sends the click's position with the activation is believed: the
// pointer's own position may be unknown to us (an X client on a Wayland
// desktop). (0, 0) is an activation without one.
TEST(PanelPlacement, AnActivationOpensAtThePositionTheHostGave) {
  const std::vector<ScreenArea> top = {{{0, 0, 1280, 800}, {0, 28, 1280, 772}}};
  struct Row {
    const char* name;
    QPoint given, pointer;
    int itemX;
  };
  const Row rows[] = {
      {"the host gave the click on the bar, the pointer is elsewhere", {300, 14}, {1270, 400}, 300},
      {"the host gave none: the pointer on the bar", {0, 0}, {640, 14}, 640},
      {"the host gave none, the pointer off the bar: the bar's right end", {0, 0}, {640, 400}, 1279},
  };
  for (const Row& row : rows)
    EXPECT_EQ(panelAnchor(activationPoint(row.given, row.pointer), std::nullopt, top).item.x(), row.itemX)
        << row.name;
}

}  // namespace
