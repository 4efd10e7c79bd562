// Draws Tarnwick/resources/Tarnwick_Tarnwick.bundle/MenuBarIcon@2x.png: a plug,
// white on transparent, 36 × 36 (18 × 18 points at twice the density). The tray
// draws the shape in its own colours, so only its alpha matters.
//
//   g++ -std=c++20 -fPIC scripts/menu_bar_icon.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/menu_bar_icon
//   QT_QPA_PLATFORM=offscreen /tmp/menu_bar_icon Tarnwick/resources/Tarnwick_Tarnwick.bundle/MenuBarIcon@2x.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: menu_bar_icon OUTPUT.png\n");
    return 2;
  }
  QImage image(36, 36, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  // Two prongs, the body with a rounded foot, and the cable leaving downwards.
  painter.drawRoundedRect(QRectF(11, 3, 4, 9), 1.5, 1.5);
  painter.drawRoundedRect(QRectF(21, 3, 4, 9), 1.5, 1.5);
  QPainterPath body;
  body.moveTo(7, 11);
  body.lineTo(29, 11);
  body.lineTo(29, 17);
  body.cubicTo(29, 23, 24, 27, 18, 27);
  body.cubicTo(12, 27, 7, 23, 7, 17);
  body.closeSubpath();
  painter.drawPath(body);
  painter.drawRoundedRect(QRectF(16, 25, 4, 9), 1.5, 1.5);
  painter.end();
  return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
