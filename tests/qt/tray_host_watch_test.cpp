// Waiting for a tray host on a private session bus that none ever joins.
#include "support/test_process.h"
#include "ui/tray_host_watch.h"

#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(TrayHostWatch, WithoutAHostItSaysSoAfterItsDelayAndKeepsWaiting) {
  TempDir dir;
  auto daemon = TestProcess::start({"/usr/bin/dbus-daemon", "--session", "--nofork", "--print-address=1",
                                    "--address=unix:path=" + dir.path() + "/bus"});
  auto address = daemon.readLine();
  ASSERT_TRUE(address && !address->empty()) << "dbus-daemon gave no address";
  const QString name = QStringLiteral("tw-no-host");
  {
    TrayHostWatch watch(QDBusConnection::connectToBus(QString::fromStdString(*address), name), 20ms);
    QSignalSpy noHost(&watch, &TrayHostWatch::noHost), ready(&watch, &TrayHostWatch::ready);
    watch.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !noHost.isEmpty(); }, 5000));
    EXPECT_TRUE(ready.isEmpty());
  }
  QDBusConnection::disconnectFromBus(name);
}

}  // namespace
