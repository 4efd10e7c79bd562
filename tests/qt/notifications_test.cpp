// A private session bus that no desktop serves: notifications go to the
// fallback, no tray host arrives and the user hears of it. The real servers'
// side, and a tray that comes late, are in tray_session_test.cpp.
#include "dbus_stand_in.h"
#include "integrations/qt/dbus_notification_sink.h"
#include "support/recording_sink.h"
#include "ui/tray_host_watch.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(DbusNotificationSink, NobodyServingTheInterfaceFallsBackAndNoTrayHostIsTold) {
  PrivateBus bus;
  auto fallback = std::make_shared<RecordingSink>();
  const auto sink = makeDbusNotificationSink(bus.connection("tarnwick"), fallback);
  EXPECT_EQ(sink->postWithdrawable("Tarnwick", "lost on the bus"), std::nullopt) << "nothing to withdraw";
  EXPECT_EQ(fallback->taken(), (std::vector<RecordingSink::Post>{{"Tarnwick", "lost on the bus"}}));
  TrayHostWatch watch(bus.connection("tarnwick"), std::chrono::milliseconds(20));
  QSignalSpy noHost(&watch, &TrayHostWatch::noHost), ready(&watch, &TrayHostWatch::ready);
  watch.start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !noHost.isEmpty(); }, 5000)) << "no word of the missing tray host";
  EXPECT_TRUE(ready.isEmpty());
}
