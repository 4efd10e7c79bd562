#pragma once
// Where the panel opens: below the tray item, or above it when the tray sits at
// the bottom of the screen, always inside the screen's free area.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

/// The top-left corner of a panel of `panel` size opened from `item` (the tray
/// item's rectangle; a cursor point is a rectangle of size 1 × 1 there), centred
/// on it horizontally and kept inside `available`. A panel larger than
/// `available` keeps its top-left corner in it.
QPoint panelTopLeft(const QRect& item, const QSize& panel, const QRect& available);

/// A screen and the part of it no panel reserves.
struct ScreenArea {
  QRect geometry;
  QRect available;
};

/// Whether `point` is on a panel strip: inside one of `screens` but outside
/// its free area. Never (0, 0), the position of an activation that has none.
bool onPanelStrip(const QPoint& point, const std::vector<ScreenArea>& screens);

/// The top-left corner of the panel: under `pointer` (where an activation
/// happened; none for the menu or a second start) when it is on a panel strip,
/// else under `lastClick`, else at the right end of the edge that a panel
/// reserves on the first of `screens` (the primary; a side edge's lower end),
/// else at the top right of its free area. Never at a pointer off the strips.
QPoint panelPosition(const std::optional<QPoint>& pointer, const std::optional<QPoint>& lastClick,
                     const QSize& panel, const std::vector<ScreenArea>& screens);
