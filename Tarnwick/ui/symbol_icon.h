#pragma once
// The small monochrome symbols of the panel, tinted to a colour: the icon
// theme's symbolic icon when the desktop has one, else a drawn stand-in.
#include <QColor>
#include <QIcon>
#include <QPixmap>

enum class Symbol {
  Refresh,
  Settings,
  Power,
  Search,
  ClearSearch,
  Sleep,
  Watched,
  Network,
};

/// `symbol` in `color`, `pixels` square, sharp at the screens' pixel ratio.
QIcon symbolIcon(Symbol symbol, const QColor& color, int pixels);
/// One pixmap of `symbol` for a device pixel ratio of `ratio`.
QPixmap symbolPixmap(Symbol symbol, const QColor& color, int pixels, qreal ratio);
