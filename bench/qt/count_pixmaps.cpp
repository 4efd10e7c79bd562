// Writes the tray item's pixmap for each two-digit count, as a host takes it
// out of the icon at one size, enlarged with whole pixels onto white with a
// margin of two of its pixels: the pictures bench/count_legibility.sh reads back.
//
// Usage: count_pixmaps SIDE SCALE OUTPUT_DIR   (writes OUTPUT_DIR/10.png … 99.png)
#include "ui/menu_bar_icon.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 4 || std::atoi(argv[1]) < 1 || std::atoi(argv[2]) < 1) {
    std::fprintf(stderr, "usage: count_pixmaps SIDE SCALE OUTPUT_DIR\n");
    return 2;
  }
  const int side = std::atoi(argv[1]), scale = std::atoi(argv[2]);
  const QDir out(QString::fromLocal8Bit(argv[3]));
  if (!out.mkpath(QStringLiteral("."))) return 1;
  for (int count = 10; count <= 99; ++count) {
    const QImage pixmap = MenuBarIcon::icon(MenuBarIcon::shape(), count).pixmap(QSize(side, side)).toImage();
    const int margin = 2 * scale;
    QImage page(pixmap.size() * scale + QSize(2 * margin, 2 * margin), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter(&page).drawImage(margin, margin, pixmap.scaled(pixmap.size() * scale, Qt::IgnoreAspectRatio,
                                                            Qt::FastTransformation));
    if (!page.save(out.filePath(QStringLiteral("%1.png").arg(count)))) return 1;
  }
  return 0;
}
