#include "ui/menu_bar_icon.h"

#include "ui/bitmap_digits.h"
#include "ui/localized.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <optional>

namespace MenuBarIcon {

namespace {

// The sizes tray hosts draw items at: 16 (GNOME's top bar, a small Xfce panel),
// 22 (Plasma), 24 and more elsewhere. Each is drawn for itself: a host that
// scales another size down blurs the digits into one another.
constexpr int kSides[] = {16, 22, 24, 32, 48};
// One pixel of outline for every 18 of side.
constexpr int kOutlinePer = 18;
constexpr int kFallbackSide = 36;
// A light shape in a dark outline reads on dark and light panels alike, and
// needs no guess at the panel's colour (Qt's palette is not the panel's).
constexpr QRgb kFill = 0xffffffff;
constexpr QRgb kOutline = 0xff1c1c1e;

QImage tinted(const QImage& mask, QRgb colour) {
  QImage image = mask;
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(image.rect(), QColor::fromRgba(colour));
  return image;
}

// The largest bold font whose text fits in `maxWidth`, never below 6 px.
QFont badgeFont(const QString& text, qreal height, qreal maxWidth) {
  QFont font;
  font.setBold(true);
  for (int pixels = std::max(6, int(std::lround(height * 0.9))); pixels >= 6; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetricsF(font).horizontalAdvance(text) <= maxWidth) break;
  }
  return font;
}

// A pill in the bottom-right corner. A ring around it is cleared so that it
// stands apart from the glyph, and the digits are cut out of it: the outline
// fills both, so the digits come out dark on the light pill.
void drawBadge(QImage& image, const QString& text) {
  const qreal side = image.width();
  const qreal height = std::round(side * 0.6);
  const qreal padding = height * 0.25;
  const QFont font = badgeFont(text, height, side - 2 * padding);
  const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text);
  const qreal width = std::clamp(textWidth + 2 * padding, height, side);
  const QRectF pill(side - width, side - height, width, height);
  const qreal radius = height / 2;

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  // DestinationOut rather than Clear: Clear ignores coverage and would wipe
  // each glyph's whole box.
  painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
  const qreal ring = std::max(1.0, side / 18);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.drawRoundedRect(pill.adjusted(-ring, -ring, ring, ring), radius + ring, radius + ring);

  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setBrush(QColor::fromRgba(kFill));
  painter.drawRoundedRect(pill, radius, radius);

  painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(pill, Qt::AlignCenter, text);
}

// The pill for a hand-drawn count, in whole pixels in the bottom-right corner,
// the digits one pixel in from its edge; at least as wide as it is high.
QRect pixelPill(int side, const BitmapDigits::Font& font, const QString& text) {
  const int height = font.height + 2;
  const int width = std::max(BitmapDigits::width(font, text) + 2, height);
  return {side - width, side - height, width, height};
}

// A light pill with dark hand-drawn digits, drawn over the outlined glyph. It
// has no outline of its own: at 16 pixels that would leave the digits no
// room, and they stand out on any panel as they are, dark on light.
void drawPixelBadge(QImage& image, const QRect& pill, const BitmapDigits::Font& font, const QString& text) {
  {
    QPainter painter(&image);
    painter.fillRect(pill, QColor::fromRgba(kFill));
    // The corners cut, so that it reads as a pill and not as a box.
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    for (const QPoint corner : {pill.topLeft(), pill.topRight(), pill.bottomLeft(), pill.bottomRight()})
      painter.fillRect(QRect(corner, QSize(1, 1)), Qt::transparent);
  }
  const int textWidth = BitmapDigits::width(font, text);
  BitmapDigits::draw(image, font, {pill.x() + (pill.width() - textWidth) / 2, pill.y() + 1}, text, kOutline);
}

}  // namespace

QImage loadShape(const QString& path) {
  if (path.isEmpty()) return {};
  QImage image(path);
  // Qt reads "@2x" in the name as device pixel ratio 2; the glyph is used
  // pixel for pixel here.
  image.setDevicePixelRatio(1);
  return image;
}

QImage fallbackShape() {
  // Two windows joined by a line: an application connected to another.
  QImage image(kFallbackSide, kFallbackSide, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(QRectF(4, 3, 28, 12), 3, 3);
  painter.drawRect(QRectF(16, 15, 4, 6));
  painter.drawRoundedRect(QRectF(4, 21, 28, 12), 3, 3);
  return image;
}

const QImage& shape() {
  static const QImage loaded = [] {
    QImage image = loadShape(bundleResourcePath(QStringLiteral("MenuBarIcon@2x.png")));
    return image.isNull() ? fallbackShape() : image;
  }();
  return loaded;
}

QString badgeText(int count) {
  if (count < 1) return {};
  if (count > 99) return QStringLiteral("99+");
  return QString::number(count);
}

QImage render(const QImage& shape, int count, int side) {
  const int outline = std::max(1, side / kOutlinePer);
  const int inner = side - 2 * outline;
  QImage mask(inner, inner, QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    const QImage scaled = shape.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                              .scaled(inner, inner, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter(&mask).drawImage((inner - scaled.width()) / 2, (inner - scaled.height()) / 2, scaled);
  }
  mask = tinted(mask, kFill);
  const QString text = badgeText(count);
  const BitmapDigits::Font* digits = text.isEmpty() ? nullptr : BitmapDigits::forSide(side);
  std::optional<QRect> pill;
  if (digits) {
    // Cleared two pixels wide around the pill: the glyph's outline takes one,
    // the other keeps the light glyph from running into the light pill.
    pill = pixelPill(side, *digits, text);
    QPainter painter(&mask);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillRect(pill->adjusted(-2, -2, 2, 2).translated(-outline, -outline), Qt::transparent);
  } else if (!text.isEmpty()) {
    drawBadge(mask, text);
  }

  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    // The outline is the shape spread by `outline` pixels in every direction.
    const QImage dark = tinted(mask, kOutline);
    for (int dy = -outline; dy <= outline; ++dy)
      for (int dx = -outline; dx <= outline; ++dx)
        if (dx * dx + dy * dy <= outline * outline + 1) painter.drawImage(outline + dx, outline + dy, dark);
    painter.drawImage(outline, outline, mask);
  }
  if (pill) drawPixelBadge(image, *pill, *digits, text);
  return image;
}

QIcon icon(const QImage& shape, int count) {
  QIcon icon;
  for (int side : kSides) icon.addPixmap(QPixmap::fromImage(render(shape, count, side)));
  return icon;
}

}  // namespace MenuBarIcon
