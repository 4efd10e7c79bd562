#include "ui/bitmap_digits.h"

#include <array>
#include <optional>

namespace BitmapDigits {

namespace {

// Each pair of digits differs in three pixels or more: an 8 closed at top and
// bottom but pinched in the middle stands apart from the 0, a 6 open at the
// top and a 9 open at the bottom from the 8.
constexpr std::array<std::string_view, 11> k3x5 = {
    "###"
    "#.#"
    "#.#"
    "#.#"
    "###",
    ".#."
    "##."
    ".#."
    ".#."
    "###",
    "###"
    "..#"
    "###"
    "#.."
    "###",
    "###"
    "..#"
    ".##"
    "..#"
    "###",
    "..#"
    ".##"
    "#.#"
    "###"
    "..#",
    "###"
    "#.."
    "###"
    "..#"
    "###",
    "#.."
    "#.."
    "###"
    "#.#"
    "###",
    "###"
    "..#"
    "..#"
    ".#."
    ".#.",
    "###"
    "#.#"
    ".#."
    "#.#"
    "###",
    "###"
    "#.#"
    "###"
    "..#"
    "..#",
    "..."
    ".#."
    "###"
    ".#."
    "...",
};

constexpr std::array<std::string_view, 11> k5x7 = {
    ".###."
    "#...#"
    "#...#"
    "#...#"
    "#...#"
    "#...#"
    ".###.",
    "..#.."
    ".##.."
    "..#.."
    "..#.."
    "..#.."
    "..#.."
    ".###.",
    ".###."
    "#...#"
    "....#"
    "...#."
    "..#.."
    ".#..."
    "#####",
    "####."
    "....#"
    "....#"
    ".###."
    "....#"
    "....#"
    "####.",
    "...#."
    "..##."
    ".#.#."
    "#..#."
    "#####"
    "...#."
    "...#.",
    "#####"
    "#...."
    "####."
    "....#"
    "....#"
    "#...#"
    ".###.",
    "..##."
    ".#..."
    "#...."
    "####."
    "#...#"
    "#...#"
    ".###.",
    "#####"
    "....#"
    "...#."
    "..#.."
    ".#..."
    ".#..."
    ".#...",
    ".###."
    "#...#"
    "#...#"
    ".###."
    "#...#"
    "#...#"
    ".###.",
    ".###."
    "#...#"
    "#...#"
    ".####"
    "....#"
    "...#."
    ".##..",
    "....."
    "..#.."
    "..#.."
    "#####"
    "..#.."
    "..#.."
    ".....",
};

constexpr Font kSmall{3, 5, k3x5};
constexpr Font kMedium{5, 7, k5x7};

std::optional<size_t> glyphIndex(QChar c) {
  if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return size_t(c.unicode() - '0');
  if (c == QLatin1Char('+')) return 10;
  return std::nullopt;
}

}  // namespace

const Font* forSide(int side) {
  if (side == 16) return &kSmall;
  if (side == 22) return &kMedium;
  return nullptr;
}

int width(const Font& font, const QString& text) {
  if (text.isEmpty()) return 0;
  for (QChar c : text)
    if (!glyphIndex(c)) return 0;
  return int(text.size()) * (font.width + 1) - 1;
}

void draw(QImage& image, const Font& font, QPoint origin, const QString& text, QRgb ink) {
  if (width(font, text) == 0) return;
  for (QChar c : text) {
    const std::string_view glyph = font.glyphs[*glyphIndex(c)];
    for (int y = 0; y < font.height; ++y)
      for (int x = 0; x < font.width; ++x)
        if (glyph[size_t(y * font.width + x)] == '#' && image.valid(origin.x() + x, origin.y() + y))
          image.setPixel(origin.x() + x, origin.y() + y, ink);
    origin.rx() += font.width + 1;
  }
}

}  // namespace BitmapDigits
