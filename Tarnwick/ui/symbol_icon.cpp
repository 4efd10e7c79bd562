#include "ui/symbol_icon.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// Drawn on a 16-unit grid and scaled to the requested size.
void drawRefresh(QPainter& p) {
  p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 290 * 16);
  QPainterPath head;
  head.moveTo(8.8, 0.8);
  head.lineTo(11.6, 3.2);
  head.lineTo(8.8, 5.6);
  head.closeSubpath();
  p.save();
  p.setBrush(p.pen().color());
  p.drawPath(head);
  p.restore();
}

void drawSettings(QPainter& p) {
  QPainterPath gear;
  const QPointF c(8, 8);
  const int teeth = 8;
  for (int i = 0; i < teeth * 2; ++i) {
    double angle = M_PI * i / teeth;
    double r = i % 2 ? 5.2 : 7.0;
    QPointF a = c + QPointF(std::cos(angle - 0.17) * r, std::sin(angle - 0.17) * r);
    QPointF b = c + QPointF(std::cos(angle + 0.17) * r, std::sin(angle + 0.17) * r);
    if (i == 0)
      gear.moveTo(a);
    else
      gear.lineTo(a);
    gear.lineTo(b);
  }
  gear.closeSubpath();
  gear.addEllipse(c, 2.2, 2.2);
  gear.setFillRule(Qt::OddEvenFill);
  p.fillPath(gear, p.pen().color());
}

void drawPower(QPainter& p) {
  p.drawArc(QRectF(2.5, 3, 11, 11), 125 * 16, 290 * 16);
  p.drawLine(QPointF(8, 1.5), QPointF(8, 7.5));
}

void drawSearch(QPainter& p) {
  p.drawEllipse(QRectF(2, 2, 8.5, 8.5));
  p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

void drawClearSearch(QPainter& p) {
  QPainterPath disc;
  disc.addEllipse(QRectF(1, 1, 14, 14));
  QPen pen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap);
  QPainterPathStroker stroker(pen);
  QPainterPath lines;
  lines.moveTo(5.5, 5.5);
  lines.lineTo(10.5, 10.5);
  lines.moveTo(10.5, 5.5);
  lines.lineTo(5.5, 10.5);
  p.fillPath(disc.subtracted(stroker.createStroke(lines)), p.pen().color());
}

void drawSleep(QPainter& p) {
  QPainterPath moon;
  moon.addEllipse(QRectF(1, 4, 11, 11));
  QPainterPath bite;
  bite.addEllipse(QRectF(4.5, 2, 10, 10));
  p.fillPath(moon.subtracted(bite), p.pen().color());
  QPen pen = p.pen();
  pen.setWidthF(1.1);
  p.setPen(pen);
  QPolygonF z1({{10, 1.5}, {14, 1.5}, {10, 5.5}, {14, 5.5}});
  p.drawPolyline(z1);
  QPolygonF z2({{12.2, 7.5}, {15, 7.5}, {12.2, 10.2}, {15, 10.2}});
  p.drawPolyline(z2);
}

void drawWatched(QPainter& p) {
  QPainterPath bell;
  bell.moveTo(8, 1.5);
  bell.cubicTo(4.5, 1.5, 3.5, 4.5, 3.5, 7.5);
  bell.lineTo(3.5, 10.5);
  bell.lineTo(2, 12.5);
  bell.lineTo(14, 12.5);
  bell.lineTo(12.5, 10.5);
  bell.lineTo(12.5, 7.5);
  bell.cubicTo(12.5, 4.5, 11.5, 1.5, 8, 1.5);
  bell.closeSubpath();
  bell.addEllipse(QRectF(6.3, 12.6, 3.4, 2.8));
  p.fillPath(bell, p.pen().color());
}

void drawNetwork(QPainter& p) {
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.drawEllipse(QRectF(5, 1.5, 6, 13));
  p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
  p.drawLine(QPointF(2.8, 4.8), QPointF(13.2, 4.8));
  p.drawLine(QPointF(2.8, 11.2), QPointF(13.2, 11.2));
}

void drawSymbol(QPainter& p, Symbol symbol) {
  switch (symbol) {
    case Symbol::Refresh: return drawRefresh(p);
    case Symbol::Settings: return drawSettings(p);
    case Symbol::Power: return drawPower(p);
    case Symbol::Search: return drawSearch(p);
    case Symbol::ClearSearch: return drawClearSearch(p);
    case Symbol::Sleep: return drawSleep(p);
    case Symbol::Watched: return drawWatched(p);
    case Symbol::Network: return drawNetwork(p);
  }
}

}  // namespace

QPixmap symbolPixmap(Symbol symbol, const QColor& color, int pixels, qreal ratio) {
  const int device = static_cast<int>(std::ceil(pixels * ratio));
  QPixmap pixmap(device, device);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(device / 16.0, device / 16.0);
  painter.setPen(QPen(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  drawSymbol(painter, symbol);
  painter.end();
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

QIcon symbolIcon(Symbol symbol, const QColor& color, int pixels) {
  QIcon icon;
  for (qreal ratio : {1.0, 2.0}) icon.addPixmap(symbolPixmap(symbol, color, pixels, ratio));
  return icon;
}
