// Notifications on a bus where nobody serves them go to the fallback. The real
// server's side is in tray_session_test.cpp.
#include "integrations/qt/dbus_notification_sink.h"
#include "support/recording_sink.h"
#include "support/test_process.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

namespace {

TEST(DbusNotificationSink, NobodyServingTheInterfaceFallsBack) {
  TempDir busDir;  // the socket lives here, so nothing is left behind
  auto daemon = TestProcess::start({"/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address=1",
                                    "--address=unix:path=" + busDir.path() + "/bus"});
  auto address = daemon.readLine();
  ASSERT_TRUE(address && !address->empty()) << "dbus-daemon gave no address";
  {
    auto bus = QDBusConnection::connectToBus(QString::fromStdString(*address), "tw-private");
    ASSERT_TRUE(bus.isConnected());
    auto fallback = std::make_shared<RecordingSink>();
    makeDbusNotificationSink(bus, fallback)->post("Tarnwick", "lost on the bus");
    EXPECT_EQ(fallback->taken(), (std::vector<RecordingSink::Post>{{"Tarnwick", "lost on the bus"}}));
  }
  QDBusConnection::disconnectFromBus("tw-private");
}

}  // namespace
