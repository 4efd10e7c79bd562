#include "ui/panel_placement.h"

#include <algorithm>

namespace {

// std::clamp requires low <= high; an oversized panel pins to the low edge.
int clampToRange(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

QPoint panelTopLeft(const QRect& item, const QSize& panel, const QRect& available) {
  int x = item.center().x() - panel.width() / 2;
  int y = item.bottom() + 1;
  if (y + panel.height() > available.bottom() + 1 && item.top() - panel.height() >= available.top())
    y = item.top() - panel.height();
  x = clampToRange(x, available.left(), available.right() + 1 - panel.width());
  y = clampToRange(y, available.top(), available.bottom() + 1 - panel.height());
  return {x, y};
}
