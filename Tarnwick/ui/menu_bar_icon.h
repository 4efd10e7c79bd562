#pragma once
// The tray item's picture: the bundled glyph, light in a dark outline so that
// it reads on any panel, with the number of dev ports drawn on it as a badge
// (a status-notifier item has no text label).
#include <QIcon>
#include <QImage>
#include <QString>

namespace MenuBarIcon {

/// The glyph at `path` (white shape, alpha is what counts); a null image when
/// the file is missing or unreadable.
QImage loadShape(const QString& path);

/// A generic glyph drawn in code, for when the bundle has no icon.
QImage fallbackShape();

/// The bundled glyph ("MenuBarIcon@2x.png"), else fallbackShape(). Read once.
const QImage& shape();

/// The text of the badge: the count in decimal, "99+" from 100 on; empty
/// below 1.
QString badgeText(int count);

/// `shape` drawn light in a dark outline on side × side, with the badge (dark
/// digits on a light pill) when `count` is 1 or more: digits drawn pixel by
/// pixel at 16 and 22, a bold font's glyphs at other sizes.
QImage render(const QImage& shape, int count, int side);

/// render() at 16, 22, 24, 32 and 48 pixels, each at device pixel ratio 1, so
/// that the status-notifier export carries each as a real size.
QIcon icon(const QImage& shape, int count);

}  // namespace MenuBarIcon
