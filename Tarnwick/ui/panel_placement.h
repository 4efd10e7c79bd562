#pragma once
// Where the panel opens: below the tray item, or above it when the tray sits at
// the bottom of the screen, always inside the screen's free area; and where it
// goes when its size changes while it is shown.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

/// A screen and the part of it no panel reserves.
struct ScreenArea {
  QRect geometry;
  QRect available;
};

/// What the panel is placed against: the tray item's rectangle (a cursor point
/// is a rectangle of size 1 × 1 there) and the free area of the screen that
/// holds it. Fixed while the panel is shown, so that a panel whose rows arrive
/// after it opened is placed again against the same item.
struct PanelAnchor {
  QRect item;
  QRect available;
};

/// The top-left corner of a panel of `panel` size at `anchor`: centred on the
/// item horizontally, below it when it fits, else above it, kept inside the
/// free area. Its edge on the item's side stays where it is for any height: a
/// panel under a bottom strip grows upward, beside a side strip sideways. A
/// panel larger than the free area keeps its top-left corner in it.
QPoint panelTopLeft(const PanelAnchor& anchor, const QSize& panel);

/// Whether `point` is on a panel strip: inside one of `screens` but outside
/// its free area. Never (0, 0), the position of an activation that has none.
bool onPanelStrip(const QPoint& point, const std::vector<ScreenArea>& screens);

/// Where an activation happened: `given`, the position a tray host sent with
/// it, unless the host sent none ((0, 0)); else `pointer`, where the pointer is.
QPoint activationPoint(const QPoint& given, const QPoint& pointer);

/// The anchor of an opening: `pointer` (where an activation happened; none for
/// the menu or a second start) when it is on a panel strip, else `lastClick`,
/// else the right end of the edge that a panel reserves on the first of
/// `screens` (the primary; a side edge's lower end), else the top right of its
/// free area. Never a pointer off the strips. Empty with no screen.
PanelAnchor panelAnchor(const std::optional<QPoint>& pointer, const std::optional<QPoint>& lastClick,
                        const std::vector<ScreenArea>& screens);
