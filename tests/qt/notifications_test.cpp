// A private session bus that no desktop serves: notifications go to the
// fallback, no tray host arrives and the user hears of it. The real servers'
// side is in tray_session_test.cpp.
#include "integrations/qt/dbus_notification_sink.h"
#include "support/recording_sink.h"
#include "support/test_process.h"
#include "ui/tray_host_watch.h"

#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(DbusNotificationSink, NobodyServingTheInterfaceFallsBackAndNoTrayHostIsTold) {
  TempDir busDir;  // the socket lives here, so nothing is left behind
  auto daemon = TestProcess::start({"/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address=1",
                                    "--address=unix:path=" + busDir.path() + "/bus"});
  auto address = daemon.readLine();
  ASSERT_TRUE(address && !address->empty()) << "dbus-daemon gave no address";
  {
    auto bus = QDBusConnection::connectToBus(QString::fromStdString(*address), "tw-private");
    auto fallback = std::make_shared<RecordingSink>();
    makeDbusNotificationSink(bus, fallback)->post("Tarnwick", "lost on the bus");
    EXPECT_EQ(fallback->taken(), (std::vector<RecordingSink::Post>{{"Tarnwick", "lost on the bus"}}));
    TrayHostWatch watch(bus, std::chrono::milliseconds(20));
    QSignalSpy noHost(&watch, &TrayHostWatch::noHost), ready(&watch, &TrayHostWatch::ready);
    watch.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !noHost.isEmpty(); }, 5000)) << "no word of the missing tray host";
    EXPECT_TRUE(ready.isEmpty());
  }
  QDBusConnection::disconnectFromBus("tw-private");
}
