// The tray application end to end on a real desktop (tests/support/desktop-session.sh):
// each desktop's own shell hosts the item, and xdotool clicks and types as a user
// does. On Xfce dunst takes the notifications, read back from its history. Outside
// such a session these skip.
#include "dbus_stand_in.h"
#include "integrations/notification_sink.h"
#include "integrations/port_labels.h"
#include "integrations/port_notifier.h"
#include "integrations/qt/dbus_notification_sink.h"
#include "integrations/qt/qt_preferences.h"
#include "support/english_texts.h"
#include "support/test_process.h"

#include <QDBusConnectionInterface>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

QString run(std::vector<std::string> argv) {
  argv.front() = QStandardPaths::findExecutable(QString::fromStdString(argv.front())).toStdString();
  return QString::fromStdString(runProgram(argv).out);
}

// English, on the session's X display; `extra` may point the bus or the runtime folder elsewhere.
TestProcess::Options appOptions(std::vector<std::string> extra = {}) {
  extra.insert(extra.begin(), {"QT_QPA_PLATFORM=xcb", "LANGUAGE=en"});
  return {.workingDirectory = {}, .extraEnv = extra};
}

// A property of a StatusNotifier object, whose interface is named after its path, as dbus-send prints it.
QString property(const std::string& service, const std::string& object, const std::string& name) {
  return run({"dbus-send", "--session", "--print-reply", "--dest=" + service, "/" + object,
              "org.freedesktop.DBus.Properties.Get", "string:org.kde." + object, "string:" + name});
}

// The bus names of the registered items, listed as "bus/path" or (GNOME) "bus@/path".
QStringList trayItems() {
  auto items = property("org.kde.StatusNotifierWatcher", "StatusNotifierWatcher", "RegisteredStatusNotifierItems")
                   .split("string \"").mid(1);
  for (auto& item : items) item = item.section('/', 0, 0).remove('@');
  return items;
}

// On Xfce the systray is the panel's last plugin: the item is the 28 px square at the right end.
void clickXfceItem(int button) {
  const auto screen = run({"xdotool", "getdisplaygeometry"}).split(' ');
  const int y = qEnvironmentVariable("TARNWICK_TEST_PANEL_EDGE") == "bottom" ? screen.value(1).toInt() - 14 : 14;
  run({"xdotool", "mousemove", std::to_string(screen.value(0).toInt() - 14), std::to_string(y), "click",
       std::to_string(button)});
}

// The shown panel's frame; empty while it is hidden.
QRect shownPanel() {
  const auto m = QRegularExpression(R"(X=(\d+)\nY=(\d+)\nWIDTH=(\d+)\nHEIGHT=(\d+))")
                     .match(run({"xdotool", "search", "--onlyvisible", "--name", "^Tarnwick$", "getwindowgeometry",
                                 "--shell"}));
  return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
}

bool panelShownSoon(bool shown) { return waitUntil([=] { return shownPanel().isEmpty() != shown; }); }

// A listener on a loopback port in the dev range that nothing else holds.
TestProcess devListener(int& port) {
  for (port = 1024 + getpid() % 8000;; ++port)
    if (auto listener = TestProcess::start({listenerPath(), "--bind", "127.0.0.1:" + std::to_string(port)});
        listener.readUntil("ready"))
      return listener;
}

bool dunstShowed(const std::string& text) {
  run({"dunstctl", "close-all"});  // the history holds the closed ones
  return run({"dunstctl", "history"}).contains(QString::fromStdString(text));
}

// What the session script says of its desktop.
struct Desktop {
  std::string name = env("TARNWICK_TEST_DESKTOP");
  bool barAtBottom = env("TARNWICK_TEST_PANEL_EDGE") == "bottom";
  bool doubleClick = env("TARNWICK_TEST_CLICK") == "double";
  int bar = qEnvironmentVariableIntValue("TARNWICK_TEST_BAR");
  bool xfce = name.starts_with("xfce");

  static std::string env(const char* name) { return qEnvironmentVariable(name).toStdString(); }
};

QImage screenshot() {
  TempDir dir;
  const auto path = dir.path() + "/screen.png";
  runProgram({QStandardPaths::findExecutable("import").toStdString(), "-window", "root", path});
  return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
}

// The screen's rows where the bar along the desktop's edge lies.
QRect barArea(const QSize& screen, const Desktop& desktop) {
  return {0, desktop.barAtBottom ? screen.height() - desktop.bar : 0, screen.width(), desktop.bar};
}

// The runs of columns in which two shots differ inside `area`, each with the rows
// that differ in it; runs closer than a few pixels are one.
std::vector<QRect> changedRuns(const QImage& before, const QImage& after, const QRect& area) {
  std::vector<QRect> runs;
  for (int x = area.left(); x <= area.right(); ++x)
    for (int y = area.top(); y <= area.bottom(); ++y) {
      if (before.pixel(x, y) == after.pixel(x, y)) continue;
      if (runs.empty() || x - runs.back().right() > 6)
        runs.emplace_back(x, y, 1, 1);
      else
        runs.back() |= QRect(x, y, 1, 1);
    }
  return runs;
}

// Shots of `area` until it differs from `before` and then holds still for a second.
QImage changedShot(const QImage& before, const QRect& area) {
  QImage last = before;
  int still = 0;
  waitUntil([&] {
    std::this_thread::sleep_for(250ms);
    QImage shot = screenshot();
    still = shot.copy(area) == last.copy(area) && last.copy(area) != before.copy(area) ? still + 1 : 0;
    last = std::move(shot);
    return still >= 4;
  });
  return last;
}

// Each host draws the item where it likes. Its pixels are those that changed both when
// it appeared and when its count changed; a clock that ticked meanwhile is not in both.
QRect findItem(const QImage& withoutItem, const QImage& withItem, const QRect& area) {
  const auto appeared = changedRuns(withoutItem, withItem, area);
  QRect item;
  waitUntil([&] {
    std::this_thread::sleep_for(300ms);
    for (const QRect& counted : changedRuns(withItem, screenshot(), area))
      if (std::any_of(appeared.begin(), appeared.end(), [&](const QRect& run) { return run.intersects(counted); }))
        item = counted;
    return !item.isEmpty();
  }, 25s);  // the count changes at the next poll, up to 10 s away on a busy machine
  return item;
}

void clickAt(const QPoint& point, const Desktop& desktop) {
  std::vector<std::string> argv{"xdotool", "mousemove", std::to_string(point.x()), std::to_string(point.y()), "click"};
  if (desktop.doubleClick) argv.insert(argv.end(), {"--repeat", "2", "--delay", "120"});
  argv.push_back("1");
  run(argv);
}

// The panel's frame once it has stopped moving and growing; empty when it never showed.
QRect settledPanel() {
  QRect last;
  int still = 0;
  waitUntil([&] {
    std::this_thread::sleep_for(250ms);
    const QRect now = shownPanel();
    still = (!now.isEmpty() && now == last) ? still + 1 : 0;
    last = now;
    return still >= 6;
  }, 15s);
  return last;
}

// A header button as drawn: the colours in it besides the header's background, and the
// share of its box where that background shows through (a symbol here: over a third;
// a tinted solid square, its corners rounded: about an eighth).
struct DrawnButton {
  size_t colours = 0;
  double backgroundInside = 0;
};

// The header's buttons, top right in the panel: each run of columns that is not all
// the header's background.
std::vector<DrawnButton> headerButtons(const QImage& screen, const QRect& panel) {
  const QRect header(panel.right() - 110, panel.top() + 6, 100, 36);
  std::map<QRgb, int> frequency;
  for (int y = header.top(); y <= header.bottom(); ++y)
    for (int x = header.left(); x <= header.right(); ++x) ++frequency[screen.pixel(x, y)];
  const QRgb background =
      std::max_element(frequency.begin(), frequency.end(), [](auto& a, auto& b) { return a.second < b.second; })
          ->first;
  std::vector<QRect> boxes;
  std::vector<std::set<QRgb>> colours;
  bool previousDrawn = false;
  for (int x = header.left(); x <= header.right(); ++x) {
    bool drawn = false;
    for (int y = header.top(); y <= header.bottom(); ++y) {
      if (screen.pixel(x, y) == background) continue;
      if (!drawn && !previousDrawn) {
        boxes.emplace_back(x, y, 1, 1);
        colours.emplace_back();
      }
      drawn = true;
      boxes.back() |= QRect(x, y, 1, 1);
      colours.back().insert(screen.pixel(x, y));
    }
    previousDrawn = drawn;
  }
  std::vector<DrawnButton> buttons;
  for (size_t i = 0; i < boxes.size(); ++i) {
    int shows = 0;
    for (int y = boxes[i].top(); y <= boxes[i].bottom(); ++y)
      for (int x = boxes[i].left(); x <= boxes[i].right(); ++x) shows += screen.pixel(x, y) == background;
    buttons.push_back({colours[i].size(), double(shows) / (boxes[i].width() * boxes[i].height())});
  }
  return buttons;
}

class RealDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QDBusConnection::sessionBus().interface()->isServiceRegistered("org.kde.StatusNotifierWatcher") ||
        QStandardPaths::findExecutable("xdotool").isEmpty() || desktop.name.empty())
      GTEST_SKIP() << "no tray host or xdotool: run inside tests/support/desktop-session.sh";
  }
  static constexpr const char* kNoDunst = "notifications are read back from dunst, which only the Xfce session runs";

  Desktop desktop;
};

// What the host decides: where the item is, what opens the panel, where the panel goes.
TEST_F(RealDesktop, AClickOnTheItemOpensThePanelWhollyOnTheScreenAgainstTheBarAndEscapeClosesIt) {
  const QImage withoutItem = screenshot();
  const QSize screen = withoutItem.size();
  const QRect bar = barArea(screen, desktop);
  int port = 0;
  auto listener = devListener(port);
  auto tarnwick = TestProcess::start({tarnwickPath()}, appOptions());
  ASSERT_TRUE(waitUntil([] { return trayItems().size() == 1; }, 20s)) << "the item never reached the host";
  const auto toolTip = [] { return property(trayItems().value(0).toStdString(), "StatusNotifierItem", "ToolTip"); };
  const QRegularExpression countInText(R"(\]\s*string "[^"]*[1-9])");  // the text follows the pixmaps
  // The count is there from the start, not after the first poll's interval.
  EXPECT_TRUE(waitUntil([&] { return toolTip().contains(countInText); }, 3s)) << toolTip().toStdString();
  const QImage withItem = changedShot(withoutItem, bar);

  int secondPort = 0;
  auto second = devListener(secondPort);
  const QRect item = findItem(withoutItem, withItem, bar);
  ASSERT_FALSE(item.isEmpty()) << "the item's count never showed in the bar";

  // The host may draw the item before it takes clicks on it: click again while nothing opens.
  ASSERT_TRUE(waitUntil([&] {
    clickAt(item.center(), desktop);
    return waitUntil([&] { return !shownPanel().isEmpty(); }, 2s);
  }, 20s)) << "a click on the item at " << item.center().x() << "," << item.center().y() << " opened nothing";
  // Its rows arrive after it shows; it is judged once it no longer moves or grows.
  const QRect panel = settledPanel();
  const auto where = [&] {
    return QStringLiteral("panel %1,%2 %3x%4, item at %5,%6")
        .arg(panel.x()).arg(panel.y()).arg(panel.width()).arg(panel.height()).arg(item.x()).arg(item.y())
        .toStdString();
  };
  EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(panel)) << "the panel runs off the screen: " << where();
  // It lies against the bar: off it, and short of a gap worth the name.
  const int gap = desktop.barAtBottom ? bar.top() - panel.bottom() - 1 : panel.top() - bar.bottom() - 1;
  EXPECT_TRUE(gap >= 0 && gap <= 12) << "the panel is not against the item's bar: " << where();
  EXPECT_TRUE(panel.left() <= item.center().x() && item.center().x() <= panel.right())
      << "the panel is not beside the item: " << where();

  run({"xdotool", "key", "Escape"});
  EXPECT_TRUE(panelShownSoon(false)) << "Escape did not close the panel";

  // Refresh, settings and quit are symbols, not blank or solid squares. Judged with the
  // panel opened by a second start and the pointer off the item: a host's tooltip stays
  // over the item while the panel is open, and may cover them.
  run({"xdotool", "mousemove", std::to_string(screen.width() / 4), std::to_string(screen.height() / 2)});
  EXPECT_EQ(runProgram({tarnwickPath()}, appOptions()).status, 0);
  const QRect reopened = settledPanel();
  EXPECT_FALSE(reopened.isEmpty()) << "a second start did not open the panel";
  EXPECT_EQ(trayItems().size(), 1);
  std::vector<DrawnButton> buttons;
  waitUntil([&] { return (buttons = headerButtons(screenshot(), reopened)).size() == 3; }, 3s);
  EXPECT_EQ(buttons.size(), 3u) << "the header's buttons are not all there";
  for (const auto& button : buttons) {
    EXPECT_GE(button.colours, 2u) << "a header button is blank";
    EXPECT_GT(button.backgroundInside, 0.25) << "a header button is a solid square";
  }
  run({"xdotool", "key", "Escape"});
  EXPECT_TRUE(panelShownSoon(false)) << "Escape did not close the reopened panel";
}

TEST_F(RealDesktop, NotifiesThatAWatchedPortStoppedAndQuitsFromItsMenu) {
  if (!desktop.xfce) GTEST_SKIP() << kNoDunst;
  int port = 0;
  auto listener = devListener(port);
  auto tarnwick = TestProcess::start({tarnwickPath()}, appOptions());
  ASSERT_TRUE(waitUntil([] { return trayItems().size() == 1; })) << "the item never reached the tray";

  // Written as the panel writes it; the application follows the file.
  PortNotifier::setWatched(*makeQtPreferences(), {port});
  std::this_thread::sleep_for(2s);  // well inside the poll's interval
  listener.killGroup();
  const auto stopped = englishTexts().format("notif_closed", {FormatArg{int64_t{port}}});
  EXPECT_TRUE(waitUntil([&] { return dunstShowed(stopped); }, 15s)) << "no \"" << stopped << "\"";
  // Up from an unselected menu picks its last entry. A key sent before the menu
  // is up goes nowhere, so keep sending until the application ends.
  clickXfceItem(3);
  EXPECT_TRUE(waitUntil([&] {
    run({"xdotool", "key", "Up", "Return"});
    return tarnwick.waitForExit(500ms);
  })) << "Quit did not end the application";
}

TEST_F(RealDesktop, WithoutABusASecondStartOpensThePanelAndACrashLeavesNoClaim) {
  if (!desktop.xfce) GTEST_SKIP() << kNoDunst;
  TempDir runtime;  // made 0700, as a runtime folder must be
  const auto options = appOptions({"DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime.path() + "/no-bus",
                                   "XDG_RUNTIME_DIR=" + runtime.path()});
  auto first = TestProcess::start({tarnwickPath()}, options);
  ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(runtime.path() + "/tarnwick.socket"); }));
  EXPECT_EQ(runProgram({tarnwickPath()}, options).status, 0);
  EXPECT_TRUE(panelShownSoon(true)) << "the running panel did not open";

  // A crash leaves the lock and the socket behind; the next start takes both over.
  first.killGroup();
  EXPECT_TRUE(panelShownSoon(false)) << "the dead instance's panel stayed";
  auto next = TestProcess::start({tarnwickPath()}, options);
  ASSERT_TRUE(waitUntil([&] { return std::atoi(readFile(runtime.path() + "/tarnwick.lock").c_str()) == next.pid(); }))
      << "the stale lock was not taken over";
  EXPECT_EQ(runProgram({tarnwickPath()}, options).status, 0);
  EXPECT_TRUE(panelShownSoon(true)) << "the new instance's panel did not open";
  EXPECT_TRUE(processAlive(next.pid()));

  // Without a bus, notify-send still reaches the server. Either way the server,
  // which reads markup, gets a body's tags as text to show.
  auto noBus = QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "tw-no-bus");
  makeDbusNotificationSink(noBus, Notifications::fallbackSink())->post("Tarnwick", "-3000 <i>went</i> away");
  QDBusConnection::disconnectFromBus("tw-no-bus");
  EXPECT_TRUE(waitUntil([] { return dunstShowed("-3000 &lt;i&gt;went&lt;/i&gt; away"); }));
  makeDbusNotificationSink()->post("Tarnwick", "<u>sshd</u> & co");
  EXPECT_TRUE(waitUntil([] { return dunstShowed("&lt;u&gt;sshd&lt;/u&gt; &amp; co"); }));
}

// A desktop whose tray comes late (a shell extension turned on later): the
// user is told how to reach the panel, and the notice goes once the item shows.
// The session's own tray and dunst stay out of it: a private bus holds stand-ins.
TEST_F(RealDesktop, WithoutATrayTheNoticeSaysSoAndGoesWhenATrayComes) {
  PrivateBus bus;
  QDBusConnection server = bus.connection("server"), host = bus.connection("host");
  QList<QVariantList> notified;
  QList<uint> closed;
  StandIn notifications(QStringLiteral("org.freedesktop.Notifications"), {},
                        {{QStringLiteral("GetCapabilities"),
                          [](const QDBusMessage&) { return QVariantList{QStringList{}}; }},
                         {QStringLiteral("Notify"),
                          [&](const QDBusMessage& m) {
                            notified << m.arguments();
                            return QVariantList{41u};
                          }},
                         {QStringLiteral("CloseNotification"), [&](const QDBusMessage& m) {
                            closed << m.arguments().value(0).toUInt();
                            return QVariantList{};
                          }}});
  ASSERT_TRUE(server.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &notifications));
  ASSERT_TRUE(server.registerService(QStringLiteral("org.freedesktop.Notifications")));

  TempDir runtime;
  auto tarnwick = TestProcess::start(
      {tarnwickPath()}, appOptions({"DBUS_SESSION_BUS_ADDRESS=" + bus.address(), "XDG_RUNTIME_DIR=" + runtime.path()}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !notified.isEmpty(); }, 20000)) << "no notice of the missing tray";
  // A banner shows the summary on one line: the hint goes in the body.
  EXPECT_EQ(notified.value(0).value(3).toString().toStdString(), englishTexts().text("no_tray"));
  EXPECT_EQ(notified.value(0).value(4).toString().toStdString(), englishTexts().text("no_tray_hint"));
  EXPECT_TRUE(closed.isEmpty());

  QString item;
  StandIn watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                  {{QStringLiteral("IsStatusNotifierHostRegistered"), true},
                   {QStringLiteral("RegisteredStatusNotifierItems"), QStringList{}},
                   {QStringLiteral("ProtocolVersion"), 0}},
                  {{QStringLiteral("RegisterStatusNotifierItem"), [&](const QDBusMessage& m) {
                      item = m.service();
                      return QVariantList{};
                    }}});
  ASSERT_TRUE(host.registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &watcher));
  ASSERT_TRUE(host.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !item.isEmpty(); }, 10000)) << "the item did not come with the tray";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !closed.isEmpty(); }, 10000)) << "the notice stayed";
  EXPECT_EQ(closed, QList<uint>{41});
  EXPECT_EQ(notified.size(), 1);

  // GNOME's extension lists an item as "bus@/path"; the tooltip script reads that form too.
  watcher.properties[QStringLiteral("RegisteredStatusNotifierItems")] = QStringList{item + "@/StatusNotifierItem"};
  QProcess script;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(bus.address()));
  script.setProcessEnvironment(environment);
  script.start(QString::fromStdString(testDataPath("../../scripts/tray-tooltip")), {});
  EXPECT_TRUE(QTest::qWaitFor([&] { return script.state() == QProcess::NotRunning; }, 10000));
  const QByteArray out = script.readAllStandardOutput();
  EXPECT_TRUE(out.contains("dev port")) << out.toStdString() << script.readAllStandardError().toStdString();
}

// A label as a host shows it: "__" is an underscore, a lone "_" marks the next character.
QString hostReading(const QString& label) {
  QString shown;
  for (qsizetype i = 0; i < label.size(); ++i) {
    if (label[i] == '_' && i + 1 < label.size()) ++i;
    shown += label[i];
  }
  return shown;
}

// The item's menu as a host reads it over D-Bus: its items' ids and labels as shown, in order.
std::vector<std::pair<QString, QString>> menuLayout(const std::string& item) {
  const QString path = property(item, "StatusNotifierItem", "Menu").section("object path \"", 1).section('"', 0, 0);
  const QString layout = run({"dbus-send", "--session", "--print-reply", "--dest=" + item, path.toStdString(),
                              "com.canonical.dbusmenu.GetLayout", "int32:0", "int32:-1", "array:string:"});
  std::vector<std::pair<QString, QString>> items;
  // An item's properties come before its children; none of ours holds a bracket.
  const QRegularExpression labelled(R"re(int32 (\d+)\s+array \[[^\]]*?string "label"\s+variant\s+string "([^"]*)")re");
  for (const auto& match : labelled.globalMatch(layout)) items.emplace_back(match.captured(1), hostReading(match.captured(2)));
  return items;
}

// A host's click on the item's menu: the ports are there, a port started
// later too (within a poll, the panel closed), labels read literally, and a
// stop's confirmation in its own submenu ends the listener.
TEST_F(RealDesktop, TheMenuListsThePortsLiterallyAndStopsOneAfterItsConfirmation) {
  // One host is enough: the layout, its labels and its events are the item's,
  // whichever host shows them.
  if (!desktop.xfce || desktop.barAtBottom) GTEST_SKIP() << "checked on the Xfce panel at the top";
  int port = 0;
  auto early = devListener(port);
  PortLabels::set(*makeQtPreferences(), "R&D __main__", port);
  auto tarnwick = TestProcess::start({tarnwickPath()}, appOptions());
  ASSERT_TRUE(waitUntil([] { return trayItems().size() == 1; })) << "the item never reached the tray";
  const std::string item = trayItems().value(0).toStdString();
  const auto labels = [&] {
    QStringList texts;
    for (const auto& [id, label] : menuLayout(item)) texts << label;
    return texts;
  };
  const auto listed = [&](const QString& start) {
    const QStringList shown = labels();
    return std::any_of(shown.begin(), shown.end(), [&](const QString& label) { return label.startsWith(start); });
  };
  const QString early_ = QString::number(port) + " \u00B7 R&D __main__ (";
  ASSERT_TRUE(waitUntil([&] { return listed(early_); })) << labels().join(" / ").toStdString();

  int laterPort = 0;
  auto later = devListener(laterPort);
  const QString later_ = QString::number(laterPort) + " \u00B7 ";
  EXPECT_TRUE(waitUntil([&] { return listed(later_); }, 15s)) << labels().join(" / ").toStdString();
  const QStringList shown = labels();
  EXPECT_EQ(shown.value(0), "Open Tarnwick");
  EXPECT_EQ(shown.value(shown.size() - 1), "Quit");

  const QString confirm = "Stop " + QString::number(laterPort) + " \u2014 confirm";
  QString confirmId;
  for (const auto& [id, label] : menuLayout(item))
    if (label == confirm) confirmId = id;
  ASSERT_FALSE(confirmId.isEmpty()) << "no \"" << confirm.toStdString() << "\"";
  const QString path = property(item, "StatusNotifierItem", "Menu").section("object path \"", 1).section('"', 0, 0);
  run({"dbus-send", "--session", "--print-reply", "--dest=" + item, path.toStdString(), "com.canonical.dbusmenu.Event",
       "int32:" + confirmId.toStdString(), "string:clicked", "variant:int32:0", "uint32:0"});
  EXPECT_TRUE(later.waitForExit(5s)) << "the confirmed stop did not end the listener";
  EXPECT_TRUE(processAlive(early.pid()));
  tarnwick.killGroup();
}

}  // namespace
