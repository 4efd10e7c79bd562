// The panel as a user sees it, rendered to docs/panel.png: both sections, a
// selected row, a row asking for confirmation, a label, a watched and an
// exposed port, health dots and statistics. Checks that real glyphs were drawn.
#include "integrations/preferences.h"
#include "panel_fakes.h"
#include "ui/port_list_view.h"
#include "ui/port_row.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSet>
#include <gtest/gtest.h>

namespace {

std::vector<PortEntry> realisticPorts() {
  PortEntry web = makeEntry(3000, 48211, "node", "127.0.0.1");
  web.parentChain = {"npm", "zsh", "gnome-terminal-server"};
  web.rootPid = 2210;
  web.cwd = "/home/alice/src/storefront";
  web.project = "storefront";
  PortEntry vite = makeEntry(5173, 48377, "node", "[::1]");
  vite.parentChain = {"npm", "bash", "code"};
  vite.rootPid = 3120;
  vite.cwd = "/home/alice/src/dashboard";
  vite.project = "dashboard";
  PortEntry api = makeEntry(8000, 51002, "python3", "0.0.0.0");
  api.parentChain = {"uvicorn", "zsh", "gnome-terminal-server"};
  api.rootPid = 2210;
  api.cwd = "/home/alice/src/payments";
  api.project = "payments";
  PortEntry db = makeEntry(5432, 1893, "docker-proxy", "0.0.0.0", "root");
  db.parentChain = {"dockerd", "systemd"};
  db.rootPid = 1;
  PortEntry redis = makeEntry(6379, 1950, "redis-server", "127.0.0.1", "redis");
  redis.parentChain = {"systemd"};
  PortEntry ssh = makeEntry(22, 812, "sshd", "*", "root");
  ssh.parentChain = {"systemd"};
  PortEntry cups = makeEntry(631, 905, "cupsd", "127.0.0.1", "root");
  cups.parentChain = {"systemd"};
  PortEntry syncthing = makeEntry(22000, 2871, "syncthing", "*", "alice");
  syncthing.parentChain = {"systemd"};
  return {ssh, web, cups, vite, api, db, redis, syncthing};
}

/// Colours that differ from the background inside `area`.
int distinctColours(const QImage& image, const QRect& area) {
  QSet<QRgb> colours;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) colours.insert(image.pixel(x, y));
  return static_cast<int>(colours.size());
}

TEST(PanelScreenshot, RendersRealisticRowsToDocs) {
  Prefs::install(std::make_shared<MemoryPreferences>());
  PanelFixture fixture;
  auto& services = *fixture.services;
  services.ports = realisticPorts();
  services.containers = {{5432, "shop-postgres"}};
  services.storedLabels = {{"8000", "payments api"}};
  services.storedWatched = {3000};
  services.samples = {{48211, {3.2, 182}},  {48377, {12.5, 246}}, {51002, {0.4, 96}},
                      {1893, {0.0, 4}},     {1950, {0.3, 12}},    {812, {0.0, 7}},
                      {905, {0.0, 9}},      {2871, {1.8, 1536}}};
  auto model = fixture.makeModel();
  model->setPanelMaxHeight(560);
  PortListView view(model.get());
  model->refresh();
  fixture.settle();
  services.answerProbes(3000, true);
  services.answerProbes(5173, true);
  services.answerProbes(8000, false);
  services.answerProbes(5432, true);
  services.answerProbes(6379, false);
  fixture.settle();
  model->setSelection(realisticPorts()[3].id());  // 5173
  model->requestKill(realisticPorts()[4]);         // 8000
  view.show();
  QApplication::processEvents();

  QImage image = view.grab().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), PortListView::kWidth * image.devicePixelRatio());

  // A text region against the same region with no text: glyphs add many shades
  // (anti-aliasing) where a box-per-glyph font or an empty render adds few.
  PortRow* row = view.row(realisticPorts()[1].id());
  ASSERT_NE(row, nullptr);
  QRect textArea(row->mapTo(&view, QPoint(48, 4)), QSize(200, 40));
  EXPECT_GT(distinctColours(image, textArea), 40);
  QImage blank(image.size(), image.format());
  blank.fill(image.pixel(2, image.height() - 2));
  EXPECT_EQ(distinctColours(blank, textArea), 1);

  // The README's picture, at twice the resolution for sharp text on any screen.
  QImage sharp(view.size() * 2, QImage::Format_ARGB32_Premultiplied);
  sharp.setDevicePixelRatio(2);
  sharp.fill(Qt::transparent);
  view.render(&sharp);
  QString docs = QStringLiteral(TARNWICK_TEST_DATA "/../../docs");
  ASSERT_TRUE(QDir().mkpath(docs));
  EXPECT_TRUE(sharp.save(docs + "/panel.png"));
}

}  // namespace
