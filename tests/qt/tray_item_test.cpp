// The tray item this process serves, read as a status-notifier host reads it:
// on a private bus, with a stand-in for the host's watcher, every call going
// over the bus.
#include "dbus_stand_in.h"
#include "tray_host.h"
#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/tarnwick_app.h"

#include <QDBusConnectionInterface>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool holds(const DBusMenuLayoutItem& root, const std::string& label) { return entryStarting(root, label) != -1; }

class TrayItem : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(watcher.serve(watcherSide, QStringLiteral("/StatusNotifierWatcher")));
    app.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.item.isEmpty(); }, 10000)) << "the item never registered";
  }

  void setPorts(std::vector<PortEntry> entries) {
    app.setMenu(trayMenu(englishTexts(), {.entries = std::move(entries)}),
                [this](const PortEntry& entry, RowAction action, Confirmation confirmation) {
                  acted.push_back({MenuCommand::Kind::PortAction, entry, action, confirmation});
                });
  }

  PrivateBus bus;
  QDBusConnection watcherSide = bus.connection("watcher");
  TrayHost host{bus.connection("host"), {}};
  StandIn watcher = trayWatcher([this](const QDBusMessage& m) {
    host.item = m.service();
    registeredAs = m.arguments().value(0).toString();
    ++registrations;
  });
  QString registeredAs;
  int registrations = 0;
  TarnwickApp app{bus.connection("app"), englishTexts()};
  std::vector<MenuCommand> acted;
};

// What hosts read to find the item and its menu. The icon and its count, the
// tooltip, and a click that activates rather than opens the menu, are checked on
// each real desktop.
TEST_F(TrayItem, RegistersByPathKeepsItsOwnNameAndShowsItsMenu) {
  // By path, so a host knows it by its connection alone (GNOME's drops an item it
  // knows by a well-known name now and then); the name stays for hosts that look.
  EXPECT_EQ(registeredAs, QStringLiteral("/StatusNotifierItem"));
  const QString name = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
  EXPECT_EQ(host.bus.interface()->serviceOwner(name).value(), host.item);
  EXPECT_EQ(qdbus_cast<QDBusObjectPath>(host.property("Menu")).path(), "/MenuBar");

  // A host that restarts comes back as another process: the item registers with it again.
  watcherSide.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
  QDBusConnection restarted = bus.connection("watcher again");
  ASSERT_TRUE(watcher.serve(restarted, QStringLiteral("/StatusNotifierWatcher")));
  EXPECT_TRUE(QTest::qWaitFor([&] { return registrations == 2; }, 5000));
}

// Read the other way round, an opaque pixel takes its alpha from a colour byte:
// the item may show as nothing at all.
TEST(SniPixmap, IsArgbInNetworkByteOrder) {
  QImage image(2, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0xff));
  image.setPixel(1, 0, qRgba(0, 0, 0, 0));
  EXPECT_EQ(sniPixmap(image).argb.toHex().toStdString(), "ff11223300000000");
}

// A host that read the menu is told to read it again once it changed. A click on a
// confirming entry stops with the confirmation given. The labels as a host reads
// them, and a single click, are checked on a real desktop (tray_session_test.cpp).
TEST_F(TrayItem, AChangedMenuIsReadAgainAndAGroupOfClicksActs) {
  const PortEntry a = makeEntry(3000), b = makeEntry(4000);
  setPorts({a});
  host.layout();
  setPorts({a, b});
  EXPECT_EQ(host.call("/MenuBar", TrayHost::kMenu, "AboutToShow", {0}).arguments().value(0), true);
  const DBusMenuLayoutItem menu = host.layout();
  // Xfce's panel sends its clicks in a group; a submenu's own entry does nothing.
  const QDBusMessage group = host.call(
      "/MenuBar", TrayHost::kMenu, "EventGroup",
      {QVariant::fromValue(DBusMenuEventList{{entryStarting(menu, "Stop 3000 — confirm"), "clicked", QDBusVariant(0), 0},
                                             {entryStarting(menu, "Stop 4000 — confirm"), "clicked", QDBusVariant(0), 0},
                                             {entryStarting(menu, "Stop"), "clicked", QDBusVariant(0), 0}})});
  EXPECT_EQ(group.type(), QDBusMessage::ReplyMessage) << group.errorMessage().toStdString();
  EXPECT_EQ(acted, (std::vector<MenuCommand>{
                       {MenuCommand::Kind::PortAction, a, RowAction::Stop, Confirmation::Given},
                       {MenuCommand::Kind::PortAction, b, RowAction::Stop, Confirmation::Given}}));
}

// The menu is not rebuilt while the host shows it: a port that came meanwhile
// shows once the host says the menu closed. That GNOME's AboutToShow on attach
// is not an opening is checked against GNOME's own host (tray_session_test.cpp).
TEST_F(TrayItem, TheMenuIsRebuiltOnlyWhileTheHostDoesNotShowIt) {
  struct Row {
    const char* host;
    std::vector<std::pair<int, const char*>> before;  ///< events before the port comes
    bool showsAtOnce;
    std::vector<std::pair<int, const char*>> after;  ///< then it shows
  };
  const int submenu = 100;  // a port's submenu; a host opens it inside the menu
  const Row rows[] = {
      {"nothing said", {}, true, {}},
      {"opened, then closed", {{0, "opened"}}, false, {{0, "closed"}}},
      {"a submenu closed, the menu still open", {{0, "opened"}, {submenu, "opened"}, {submenu, "closed"}}, false,
       {{0, "closed"}}},
      {"the menu closed without its submenu", {{0, "opened"}, {submenu, "opened"}}, false, {{0, "closed"}}},
  };
  int64_t port = 3000;
  for (const Row& row : rows) {
    setPorts({makeEntry(port)});
    const int sub = entryStarting(host.layout(), std::to_string(port) + " · node");
    for (const auto& [id, event] : row.before) host.event(id == submenu ? sub : id, event);
    const std::string later = std::to_string(++port) + " · node";
    setPorts({makeEntry(port - 1), makeEntry(port)});
    EXPECT_EQ(holds(host.layout(), later), row.showsAtOnce) << row.host;
    for (const auto& [id, event] : row.after) host.event(id == submenu ? sub : id, event);
    EXPECT_TRUE(holds(host.layout(), later)) << row.host << ": after it closed";
    ++port;
  }
}

}  // namespace
