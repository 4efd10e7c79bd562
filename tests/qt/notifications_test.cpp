// A private session bus with stand-ins for a desktop's services: the
// notification server that takes a notice back, the fallback when nobody
// serves it, and the tray host that is missing, then comes. The real servers'
// side is in tray_session_test.cpp.
#include "dbus_stand_in.h"
#include "integrations/qt/dbus_notification_sink.h"
#include "support/recording_sink.h"
#include "ui/tray_host_watch.h"

#include <QSignalSpy>
#include <QTest>
#include <future>
#include <gtest/gtest.h>

namespace {

// The sink blocks on the bus as it does on the notifier's thread; the stand-ins
// answer on this one meanwhile.
template <typename Call>
auto offThisThread(Call call) {
  auto result = std::async(std::launch::async, call);
  EXPECT_TRUE(QTest::qWaitFor([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                              5000));
  return result.get();
}

TEST(DbusNotificationSink, AnAnsweredNoticeIsWithdrawnByItsIdAndAnUnservedOneFallsBack) {
  PrivateBus bus;
  QDBusConnection server = bus.connection("server");
  auto fallback = std::make_shared<RecordingSink>();
  auto sink = makeDbusNotificationSink(bus.connection("tarnwick"), fallback);
  EXPECT_EQ(offThisThread([&] { return sink->postWithdrawable("Tarnwick", "lost on the bus"); }), std::nullopt);
  EXPECT_EQ(fallback->taken(), (std::vector<RecordingSink::Post>{{"Tarnwick", "lost on the bus"}}));

  QList<uint> closed;
  StandIn notifications(QStringLiteral("org.freedesktop.Notifications"), {},
                 {{QStringLiteral("Notify"), [](const QDBusMessage&) { return QVariantList{7u}; }},
                  {QStringLiteral("CloseNotification"), [&](const QDBusMessage& m) {
                     closed << m.arguments().value(0).toUInt();
                     return QVariantList{};
                   }}});
  ASSERT_TRUE(server.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications));
  ASSERT_TRUE(server.registerService(QStringLiteral("org.freedesktop.Notifications")));
  EXPECT_EQ(offThisThread([&] { return sink->postWithdrawable("No system tray", "Run tarnwick again"); }), 7u);
  sink->withdraw(7);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !closed.isEmpty(); }, 5000));
  EXPECT_EQ(closed, QList<uint>{7});
  EXPECT_TRUE(fallback->taken().empty());
}

TEST(TrayHostWatch, TellsOfAMissingHostThenMakesTheItemWhenOneComes) {
  PrivateBus bus;
  QDBusConnection host = bus.connection("host");
  TrayHostWatch watch(bus.connection("tarnwick"), std::chrono::milliseconds(20));
  QSignalSpy noHost(&watch, &TrayHostWatch::noHost), ready(&watch, &TrayHostWatch::ready);
  watch.start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !noHost.isEmpty(); }, 5000)) << "no word of the missing tray host";
  EXPECT_TRUE(ready.isEmpty());

  StandIn watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                  {{QStringLiteral("IsStatusNotifierHostRegistered"), true}}, {});
  ASSERT_TRUE(host.registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &watcher));
  ASSERT_TRUE(host.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !ready.isEmpty(); }, 5000)) << "the host that came was not seen";
  EXPECT_EQ(noHost.size(), 1);
}

}  // namespace
