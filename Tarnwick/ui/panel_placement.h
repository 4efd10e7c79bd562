#pragma once
// Where the panel opens: below the tray item, or above it when the tray sits at
// the bottom of the screen, always inside the screen's free area.
#include <QPoint>
#include <QRect>
#include <QSize>

/// The top-left corner of a panel of `panel` size opened from `item` (the tray
/// item's rectangle; a cursor point is a rectangle of size 1 × 1 there), centred
/// on it horizontally and kept inside `available`. A panel larger than
/// `available` keeps its top-left corner in it.
QPoint panelTopLeft(const QRect& item, const QSize& panel, const QRect& available);
