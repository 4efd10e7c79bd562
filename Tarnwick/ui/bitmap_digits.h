#pragma once
// Digits drawn by hand, pixel by pixel, for the tray item's smallest sizes:
// there a font's glyphs are smoothed into grey blots, and "12" reads as "13".
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <span>
#include <string_view>

namespace BitmapDigits {

/// One hand-drawn set: glyphs of width × height pixels, '#' for ink, row by
/// row, for "0" to "9" and then "+".
struct Font {
  int width;
  int height;
  std::span<const std::string_view> glyphs;
};

/// The set drawn for an item `side` pixels high (16 and 22); none for other
/// sizes, where a font's glyphs have pixels enough.
const Font* forSide(int side);

/// The width of `text` set in `font`, glyphs one pixel apart; 0 when `text`
/// holds a character the set lacks.
int width(const Font& font, const QString& text);

/// Sets the ink pixels of `text` to `ink`, its top left corner at `origin`.
/// Does nothing when `text` holds a character the set lacks.
void draw(QImage& image, const Font& font, QPoint origin, const QString& text, QRgb ink);

}  // namespace BitmapDigits
