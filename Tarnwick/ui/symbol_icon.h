#pragma once
// The small monochrome symbols of the panel, drawn in a colour. They are our
// own drawings, never the icon theme's: a theme without the symbolic variant
// falls back to a full-colour icon, which tinted comes out a solid square, and
// a symbolic SVG needs a plugin a desktop may lack.
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
