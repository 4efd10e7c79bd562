// The tray application end to end: the real executable on an Xvfb display and a
// private session bus with a stand-in tray host.
#include "qt/desktop_session.h"
#include "qt/status_notifier_watcher.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

QVariant itemProperty(const QDBusConnection& bus, const QString& service, const QString& name) {
  auto message = QDBusMessage::createMethodCall(service, kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                QStringLiteral("Get"));
  message << kItemInterface << name;
  auto reply = callAndWait(bus, message);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().first().value<QDBusVariant>().variant();
}

// A dbusmenu layout node is (id, properties, children as variants).
int findMenuItem(const QDBusArgument& node, const QString& label) {
  int id = 0;
  QVariantMap properties;
  node.beginStructure();
  node >> id >> properties;
  int found = properties.value(QStringLiteral("label")).toString().remove('_').remove('&') == label ? id : -1;
  node.beginArray();
  while (!node.atEnd()) {
    QDBusVariant child;
    node >> child;
    if (found < 0) found = findMenuItem(child.variant().value<QDBusArgument>(), label);
  }
  node.endArray();
  node.endStructure();
  return found;
}

bool clickMenuItem(const QDBusConnection& bus, const QString& service, const QString& label) {
  const auto menuPath = itemProperty(bus, service, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
  if (menuPath.isEmpty()) return false;
  const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");
  auto layoutCall = QDBusMessage::createMethodCall(service, menuPath, menuInterface, QStringLiteral("GetLayout"));
  layoutCall << 0 << -1 << QStringList();
  auto layout = callAndWait(bus, layoutCall);
  if (layout.arguments().size() < 2) return false;
  const int id = findMenuItem(layout.arguments().at(1).value<QDBusArgument>(), label);
  if (id < 0) return false;
  auto event = QDBusMessage::createMethodCall(service, menuPath, menuInterface, QStringLiteral("Event"));
  event << id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u;
  return callAndWait(bus, event).type() == QDBusMessage::ReplyMessage;
}

bool activateItem(const QDBusConnection& bus, const QString& service) {
  auto message = QDBusMessage::createMethodCall(service, kItemPath, kItemInterface, QStringLiteral("Activate"));
  message << 0 << 0;
  return callAndWait(bus, message).type() == QDBusMessage::ReplyMessage;
}

// Xvfb and xwininfo run outside this process; QTest::qWaitFor keeps our bus
// objects answering while we wait on them.
bool waitFor(const std::function<bool()>& condition, int ms = 10000) { return QTest::qWaitFor(condition, ms); }

TEST(TraySession, ItemRegistersOpensThePanelHandsOverAndQuitsFromItsMenu) {
  DesktopSession session(DesktopSession::Bus::Private);
  if (!session.unavailable().empty()) GTEST_SKIP() << session.unavailable();
  StatusNotifierWatcher watcher;
  ASSERT_TRUE(watcher.publish(session.bus()));

  auto tarnwick = session.startTarnwick();
  ASSERT_TRUE(waitFor([&] { return !watcher.registeredItems().isEmpty(); })) << "the item never registered";
  const QString item = watcher.registeredItems().first();

  // The icon reaches the tray drawn, not blank: images of (width, height, ARGB).
  const auto images = itemProperty(session.bus(), item, QStringLiteral("IconPixmap")).value<QDBusArgument>();
  int count = 0;
  images.beginArray();
  for (; !images.atEnd(); ++count) {
    int width = 0, height = 0;
    QByteArray argb;
    images.beginStructure();
    images >> width >> height >> argb;
    images.endStructure();
    EXPECT_EQ(width, height);
    ASSERT_EQ(argb.size(), width * height * 4);
    int opaque = 0;  // big-endian ARGB: alpha comes first
    for (int i = 0; i < argb.size(); i += 4) opaque += uchar(argb[i]) > 128;
    EXPECT_GT(opaque, width * height / 5) << width << " px image is nearly empty";
  }
  images.endArray();
  EXPECT_GT(count, 0);

  // A click opens the panel and a second one closes it.
  ASSERT_TRUE(activateItem(session.bus(), item));
  EXPECT_TRUE(waitFor([&] { return session.panelViewable(); })) << "the panel did not open";
  ASSERT_TRUE(activateItem(session.bus(), item));
  EXPECT_TRUE(waitFor([&] { return !session.panelViewable(); })) << "the panel did not close";

  // A second start hands over to the first and ends.
  EXPECT_EQ(session.runTarnwick(), 0);
  EXPECT_TRUE(waitFor([&] { return session.panelViewable(); })) << "the running panel did not open";
  EXPECT_EQ(watcher.registeredItems().size(), 1);

  ASSERT_TRUE(clickMenuItem(session.bus(), item, QStringLiteral("Quit")));
  EXPECT_TRUE(tarnwick.waitForExit(10s)) << "Quit did not end the application";
}

TEST(TraySession, ItemWaitsForATrayHostThatComesLate) {
  DesktopSession session(DesktopSession::Bus::Private);
  if (!session.unavailable().empty()) GTEST_SKIP() << session.unavailable();
  auto tarnwick = session.startTarnwick();
  const QString service = QStringLiteral("com.ulmarsh.tarnwick");
  ASSERT_TRUE(waitFor([&] { return session.bus().interface()->isServiceRegistered(service).value(); }));
  // Its answer comes from the event loop, so start-up is over: an item made at
  // start would have been made by now, without a tray to show it.
  auto activate = QDBusMessage::createMethodCall(service, QStringLiteral("/com/ulmarsh/tarnwick"), service,
                                                 QStringLiteral("Activate"));
  ASSERT_EQ(callAndWait(session.bus(), activate).type(), QDBusMessage::ReplyMessage);

  StatusNotifierWatcher watcher;
  ASSERT_TRUE(watcher.publish(session.bus()));
  EXPECT_TRUE(waitFor([&] { return !watcher.registeredItems().isEmpty(); })) << "the item never registered";
}

TEST(TraySession, WithoutABusASecondStartOpensThePanelAndACrashLeavesNoClaim) {
  DesktopSession session(DesktopSession::Bus::None);
  if (!session.unavailable().empty()) GTEST_SKIP() << session.unavailable();
  const std::string socket = session.runtimeDirectory() + "/tarnwick.socket";

  auto first = session.startTarnwick();
  ASSERT_TRUE(waitFor([&] { return QFile::exists(QString::fromStdString(socket)); }));
  EXPECT_EQ(session.runTarnwick(), 0);
  EXPECT_TRUE(waitFor([&] { return session.panelViewable(); })) << "the running panel did not open";

  // A crash leaves the lock and the socket behind; the next start takes both over.
  first.killGroup();
  EXPECT_TRUE(waitFor([&] { return !session.panelViewable(); })) << "the dead instance's panel stayed";
  auto next = session.startTarnwick();
  const auto lock = QString::fromStdString(session.runtimeDirectory() + "/tarnwick.lock");
  ASSERT_TRUE(waitFor([&] {
    QFile file(lock);
    return file.open(QIODevice::ReadOnly) && file.readLine().trimmed().toInt() == next.pid();
  })) << "the stale lock was not taken over";
  EXPECT_EQ(session.runTarnwick(), 0);
  EXPECT_TRUE(waitFor([&] { return session.panelViewable(); })) << "the new instance's panel did not open";
  EXPECT_TRUE(processAlive(next.pid()));
}

}  // namespace
