// scripts/tray-tooltip against a stand-in watcher that lists the item in each
// form desktops use.
#include "dbus_stand_in.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

TEST(TrayTooltipScript, ReadsTheItemAtTheBusAndPathItsWatcherLists) {
  struct Case {
    const char* form;
    QString separator;
    QString path;
  };
  const std::vector<Case> cases = {
      {"bus/path (KDE, Xfce)", "", "/StatusNotifierItem"},
      {"bus@/path (GNOME's extension)", "@", "/StatusNotifierItem"},
      {"a path of the item's own", "@", "/org/ayatana/NotificationItem/tarnwick"},
  };
  PrivateBus bus;
  QDBusConnection item = bus.connection("item"), host = bus.connection("host");
  ASSERT_TRUE(host.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
  for (const Case& c : cases) {
    StandIn tooltip(QStringLiteral("org.kde.StatusNotifierItem"), {{QStringLiteral("ToolTip"), "three dev ports"}}, {});
    StandIn watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                    {{QStringLiteral("RegisteredStatusNotifierItems"),
                      QStringList{item.baseService() + c.separator + c.path}}},
                    {});
    ASSERT_TRUE(item.registerVirtualObject(c.path, &tooltip));
    ASSERT_TRUE(host.registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &watcher));

    QProcess script;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(bus.address()));
    script.setProcessEnvironment(environment);
    script.start(QString::fromStdString(testDataPath("../../scripts/tray-tooltip")), {});
    EXPECT_TRUE(QTest::qWaitFor([&] { return script.state() == QProcess::NotRunning; }, 10000)) << c.form;
    EXPECT_EQ(script.exitCode(), 0) << c.form << ": " << script.readAllStandardError().toStdString();
    EXPECT_TRUE(script.readAllStandardOutput().contains("three dev ports")) << c.form;
    item.unregisterObject(c.path);
    host.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
  }
}
