#include "ui/panel_placement.h"

#include <algorithm>

namespace {

// std::clamp requires low <= high; an oversized panel pins to the low edge.
int clampToRange(int value, int low, int high) { return std::max(low, std::min(value, high)); }

const ScreenArea* screenOf(const QPoint& point, const std::vector<ScreenArea>& screens) {
  for (const ScreenArea& screen : screens)
    if (screen.geometry.contains(point)) return &screen;
  return nullptr;
}

// A strip one pixel wide at the end of the reserved edge, so that
// panelTopLeft() opens the panel off it and inside the free area.
QRect reservedEdgeEnd(const ScreenArea& screen) {
  const QRect& all = screen.geometry;
  const QRect& free = screen.available;
  if (free.top() > all.top()) return {free.right(), all.top(), 1, free.top() - all.top()};
  if (free.bottom() < all.bottom()) return {free.right(), free.bottom() + 1, 1, all.bottom() - free.bottom()};
  if (free.left() > all.left()) return {all.left(), free.bottom() + 1, free.left() - all.left(), 1};
  if (free.right() < all.right()) return {free.right() + 1, free.bottom() + 1, all.right() - free.right(), 1};
  return {free.right(), free.top() - 1, 1, 1};
}

}  // namespace

QPoint panelTopLeft(const PanelAnchor& anchor, const QSize& panel) {
  const QRect& item = anchor.item;
  const QRect& available = anchor.available;
  int x = item.center().x() - panel.width() / 2;
  int y = item.bottom() + 1;
  if (y + panel.height() > available.bottom() + 1 && item.top() - panel.height() >= available.top())
    y = item.top() - panel.height();
  x = clampToRange(x, available.left(), available.right() + 1 - panel.width());
  y = clampToRange(y, available.top(), available.bottom() + 1 - panel.height());
  return {x, y};
}

bool onPanelStrip(const QPoint& point, const std::vector<ScreenArea>& screens) {
  // The origin is what an activation without a position carries, and what
  // Qt reports on Wayland for a pointer it cannot know.
  if (point.isNull()) return false;
  const ScreenArea* screen = screenOf(point, screens);
  return screen && !screen->available.contains(point);
}

QPoint activationPoint(const QPoint& given, const QPoint& pointer) { return given.isNull() ? pointer : given; }

PanelAnchor panelAnchor(const std::optional<QPoint>& pointer, const std::optional<QPoint>& lastClick,
                        const std::vector<ScreenArea>& screens) {
  if (screens.empty()) return {};
  std::optional<QPoint> click = pointer && onPanelStrip(*pointer, screens) ? pointer : lastClick;
  if (click)
    if (const ScreenArea* screen = screenOf(*click, screens)) return {QRect(*click, QSize(1, 1)), screen->available};
  return {reservedEdgeEnd(screens.front()), screens.front().available};
}
