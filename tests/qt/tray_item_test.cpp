// The tray item this process serves, read as a status-notifier host reads it:
// on a private bus, with a stand-in for the host's watcher, every call going
// over the bus.
#include "dbus_stand_in.h"
#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/tarnwick_app.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kMenu = QStringLiteral("com.canonical.dbusmenu");

// The host's side: calls the item and waits for the answer without blocking
// the event loop that serves it.
struct Host {
  QDBusConnection bus;
  QString item;  ///< the connection the item registered from

  QDBusMessage call(const QString& path, const QString& interface, const QString& method, QVariantList args = {}) {
    auto message = QDBusMessage::createMethodCall(item, path, interface, method);
    message.setArguments(args);
    QDBusPendingCall pending = bus.asyncCall(message, 5000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 6000)) << method.toStdString();
    return pending.reply();
  }
  DBusMenuLayoutItem layout() {
    const QDBusMessage reply = call("/MenuBar", kMenu, "GetLayout", {0, -1, QStringList{}});
    return qdbus_cast<DBusMenuLayoutItem>(reply.arguments().value(1));
  }
  void event(int id, const QString& event) {
    call("/MenuBar", kMenu, "Event", {id, event, QVariant::fromValue(QDBusVariant(0)), 0u});
  }
  QVariant property(const QString& name) {
    const QDBusMessage reply = call("/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
                                    {QStringLiteral("org.kde.StatusNotifierItem"), name});
    return reply.arguments().value(0).value<QDBusVariant>().variant();
  }
};

// Each entry's number by its label as a host shows it ("__" is "_"); the first of two alike.
std::map<std::string, int> shown(const DBusMenuLayoutItem& item, std::map<std::string, int> out = {}) {
  QString label = item.properties.value("label").toString();
  label.replace("__", "_");
  if (item.id != 0) out.emplace(label.toStdString(), item.id);
  for (const DBusMenuLayoutItem& child : item.children) out = shown(child, std::move(out));
  return out;
}

int idOf(const DBusMenuLayoutItem& root, const std::string& label) {
  const auto all = shown(root);
  return all.contains(label) ? all.at(label) : -1;
}

bool holds(const DBusMenuLayoutItem& root, const std::string& label) { return shown(root).contains(label); }

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
  Host host{bus.connection("host"), {}};
  StandIn watcher{QStringLiteral("org.kde.StatusNotifierWatcher"),
                  {{QStringLiteral("IsStatusNotifierHostRegistered"), true}},
                  {{QStringLiteral("RegisterStatusNotifierItem"),
                    StandIn::replying({}, [this](const QDBusMessage& m) {
                      host.item = m.service();
                      registeredAs = m.arguments().value(0).toString();
                      ++registrations;
                    })}}};
  QString registeredAs;
  int registrations = 0;
  TarnwickApp app{bus.connection("app"), englishTexts()};
  std::vector<MenuCommand> acted;
};

// What hosts read to draw the item: the icon at every size drawn, ARGB in
// network byte order, the count's tooltip as the title, the menu's path.
TEST_F(TrayItem, RegistersByPathKeepsItsOwnNameAndShowsTheCountIconAndMenu) {
  // By path, so a host knows it by its connection alone (GNOME's drops an item it
  // knows by a well-known name now and then); the name stays for hosts that look.
  EXPECT_EQ(registeredAs, QStringLiteral("/StatusNotifierItem"));
  const QString name = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
  EXPECT_EQ(host.bus.interface()->serviceOwner(name).value(), host.item);
  app.setDevCount(3);
  EXPECT_TRUE(QTest::qWaitFor([&] { return host.property("ToolTip").isValid(); }, 3000));
  EXPECT_EQ(qdbus_cast<SniToolTip>(host.property("ToolTip")).title, app.toolTip(3));
  const auto pixmaps = qdbus_cast<SniPixmaps>(host.property("IconPixmap"));
  std::vector<int> sides;
  for (const SniPixmap& pixmap : pixmaps) {
    sides.push_back(pixmap.width);
    EXPECT_EQ(pixmap.argb.size(), pixmap.width * pixmap.height * 4);
  }
  EXPECT_EQ(sides, (std::vector<int>{16, 22, 24, 32, 48}));
  EXPECT_EQ(qdbus_cast<QDBusObjectPath>(host.property("Menu")).path(), "/MenuBar");
  EXPECT_EQ(host.property("ItemIsMenu"), false);

  // A host that restarts comes back as another process: the item registers with it again.
  watcherSide.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
  QDBusConnection restarted = bus.connection("watcher again");
  ASSERT_TRUE(watcher.serve(restarted, QStringLiteral("/StatusNotifierWatcher")));
  EXPECT_TRUE(QTest::qWaitFor([&] { return registrations == 2; }, 5000));
}

TEST(SniPixmap, IsArgbInNetworkByteOrder) {
  QImage image(2, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0xff));
  image.setPixel(1, 0, qRgba(0, 0, 0, 0));
  const SniPixmap pixmap = sniPixmap(image);
  EXPECT_EQ(pixmap.argb.toHex().toStdString(), "ff11223300000000");
}

// Other processes' names read as they are; a click on a confirming entry
// stops with the confirmation given.
TEST_F(TrayItem, TheExportedMenuReadsLiterallyAndItsEntriesAct) {
  PortEntry myApp = makeEntry(3000, 0, "my_app"), rd = makeEntry(4000, 0, "R&D"), main = makeEntry(5000, 0, "__main__");
  setPorts({myApp, rd});
  const DBusMenuLayoutItem first = host.layout();
  for (const char* label : {"3000 · my_app", "4000 · R&D", "Stop 3000 — confirm", "Quit"})
    EXPECT_TRUE(holds(first, label)) << label;

  setPorts({main, myApp, rd});
  // Until the host reads the new layout, it is told to before it shows the menu.
  EXPECT_EQ(host.call("/MenuBar", kMenu, "AboutToShow", {0}).arguments().value(0), true);
  const DBusMenuLayoutItem second = host.layout();
  EXPECT_TRUE(holds(second, "5000 · __main__"));
  host.event(idOf(second, "Stop 3000 — confirm"), "clicked");
  // Xfce's panel sends its clicks in a group; a submenu's own entry does nothing.
  const QDBusMessage group = host.call(
      "/MenuBar", kMenu, "EventGroup",
      {QVariant::fromValue(DBusMenuEventList{{idOf(second, "Stop 4000 — confirm"), "clicked", QDBusVariant(0), 0},
                                             {idOf(second, "Stop"), "clicked", QDBusVariant(0), 0}})});
  EXPECT_EQ(group.type(), QDBusMessage::ReplyMessage) << group.errorMessage().toStdString();
  EXPECT_EQ(acted, (std::vector<MenuCommand>{
                       {MenuCommand::Kind::PortAction, myApp, RowAction::Stop, Confirmation::Given},
                       {MenuCommand::Kind::PortAction, rd, RowAction::Stop, Confirmation::Given}}));
}

// The menu is not rebuilt while the host shows it: a port that came meanwhile
// shows once the host says the menu closed. GNOME asks the menu to prepare on
// attach and says nothing more: that is not an opening.
TEST_F(TrayItem, TheMenuIsRebuiltOnlyWhileTheHostDoesNotShowIt) {
  struct Row {
    const char* host;
    std::vector<std::pair<int, const char*>> before;  ///< events (-1: AboutToShow) before the port comes
    bool showsAtOnce;
    std::vector<std::pair<int, const char*>> after;  ///< then it shows
  };
  const int submenu = 100;  // a port's submenu; a host opens it inside the menu
  const Row rows[] = {
      {"nothing said", {}, true, {}},
      {"AboutToShow alone (GNOME's attach)", {{0, nullptr}}, true, {}},
      {"opened, then closed", {{0, "opened"}}, false, {{0, "closed"}}},
      {"a submenu closed, the menu still open", {{0, "opened"}, {submenu, "opened"}, {submenu, "closed"}}, false,
       {{0, "closed"}}},
      {"the menu closed without its submenu", {{0, "opened"}, {submenu, "opened"}}, false, {{0, "closed"}}},
  };
  int64_t port = 3000;
  for (const Row& row : rows) {
    setPorts({makeEntry(port)});
    const int sub = idOf(host.layout(), std::to_string(port) + " · node");
    for (const auto& [id, event] : row.before) {
      const int target = id == submenu ? sub : id;
      if (!event) {
        EXPECT_EQ(host.call("/MenuBar", kMenu, "AboutToShow", {target}).arguments().value(0), false) << row.host;
        continue;
      }
      host.event(target, event);
    }
    const std::string later = std::to_string(++port) + " · node";
    setPorts({makeEntry(port - 1), makeEntry(port)});
    EXPECT_EQ(holds(host.layout(), later), row.showsAtOnce) << row.host;
    for (const auto& [id, event] : row.after) host.event(id == submenu ? sub : id, event);
    EXPECT_TRUE(holds(host.layout(), later)) << row.host << ": after it closed";
    ++port;
  }
}

}  // namespace
