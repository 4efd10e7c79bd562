// The panel as a user sees it, rendered to docs/panel.png: both sections, a
// selected row, a row asking for confirmation, a label, a watched and an
// exposed port, health dots and statistics. Checks that real glyphs were drawn.
#include "integrations/preferences.h"
#include "panel_fakes.h"
#include "support/english_texts.h"
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

PortEntry withOrigin(PortEntry entry, std::vector<std::string> chain, int32_t rootPid = 0,
                     std::optional<std::string> project = std::nullopt) {
  entry.parentChain = std::move(chain);
  if (rootPid) entry.rootPid = rootPid;
  if (project) entry.cwd = "/home/alice/src/" + *project;
  entry.project = std::move(project);
  return entry;
}

std::vector<PortEntry> realisticPorts() {
  const std::vector<std::string> systemd = {"systemd"};
  return {withOrigin(makeEntry(22, 812, "sshd", "*", "root"), systemd),
          withOrigin(makeEntry(3000, 48211, "node", "127.0.0.1"), {"npm", "zsh", "gnome-terminal-server"}, 2210,
                     "storefront"),
          withOrigin(makeEntry(631, 905, "cupsd", "127.0.0.1", "root"), systemd),
          withOrigin(makeEntry(5173, 48377, "node", "[::1]"), {"npm", "bash", "code"}, 3120, "dashboard"),
          withOrigin(makeEntry(8000, 51002, "python3", "0.0.0.0"), {"uvicorn", "zsh", "gnome-terminal-server"},
                     2210, "payments"),
          withOrigin(makeEntry(5432, 1893, "docker-proxy", "0.0.0.0", "root"), {"dockerd", "systemd"}, 1),
          withOrigin(makeEntry(6379, 1950, "redis-server", "127.0.0.1", "redis"), systemd),
          withOrigin(makeEntry(22000, 2871, "syncthing", "*", "alice"), systemd)};
}

/// Colours that differ from the background inside `area`.
int distinctColours(const QImage& image, const QRect& area) {
  QSet<QRgb> colours;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) colours.insert(image.pixel(x, y));
  return static_cast<int>(colours.size());
}

TEST(PanelScreenshot, RendersRealisticRowsToDocs) {
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
  PortListView view(model.get(), fixture.icons, englishTexts());
  model->refresh();
  fixture.settle();
  for (auto [port, healthy] : {std::pair{3000, true}, {5173, true}, {8000, false}, {5432, true}, {6379, false}})
    services.answerProbes(port, healthy);
  fixture.settle();
  model->controller().select(realisticPorts()[3].id());         // 5173
  model->controller().act(RowAction::Stop, realisticPorts()[4]);  // 8000
  view.show();
  QApplication::processEvents();

  QImage image = view.grab().toImage();
  ASSERT_FALSE(image.isNull());

  // Glyphs add many shades (anti-aliasing) where a box-per-glyph font or an
  // empty render adds few.
  PortRow* row = view.row(realisticPorts()[1].id());
  ASSERT_NE(row, nullptr);
  QRect textArea(row->mapTo(&view, QPoint(48, 4)), QSize(200, 40));
  EXPECT_GT(distinctColours(image, textArea), 40);

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
