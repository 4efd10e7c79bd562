// The tray application end to end on a real desktop (tests/support/desktop-session.sh):
// each desktop's own shell hosts the item, and xdotool clicks and types as a user
// does. On Xfce dunst takes the notifications, read back from its history. Outside
// such a session these skip.
#include "dbus_stand_in.h"
#include "tray_host.h"
#include "integrations/notification_sink.h"
#include "integrations/port_labels.h"
#include "integrations/port_notifier.h"
#include "integrations/qt/dbus_notification_sink.h"
#include "integrations/qt/qt_preferences.h"
#include "support/english_texts.h"
#include "support/test_process.h"

#include <QDBusConnectionInterface>
#include <QImage>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <iostream>
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

// The bus names of the registered items, listed as "bus/path", (GNOME) "bus@/path" or a bare bus name.
QStringList trayItems() {
  auto get = QDBusMessage::createMethodCall("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                            "org.freedesktop.DBus.Properties", "Get");
  get << QStringLiteral("org.kde.StatusNotifierWatcher") << QStringLiteral("RegisteredStatusNotifierItems");
  const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 5000);
  auto items = reply.arguments().value(0).value<QDBusVariant>().variant().toStringList();
  for (auto& item : items) item = item.section('/', 0, 0).remove('@');
  return items;
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
// that differ in it; runs closer than `apart` columns are one.
std::vector<QRect> changedRuns(const QImage& before, const QImage& after, const QRect& area, int apart = 7) {
  std::vector<QRect> runs;
  for (int x = area.left(); x <= area.right(); ++x)
    for (int y = area.top(); y <= area.bottom(); ++y) {
      if (before.pixel(x, y) == after.pixel(x, y)) continue;
      if (runs.empty() || x - runs.back().right() >= apart)
        runs.emplace_back(x, y, 1, 1);
      else
        runs.back() |= QRect(x, y, 1, 1);
    }
  return runs;
}

// Looks every 250 ms until `still(previous, now)` held for `looks` looks in a row; the last look.
template <typename Look, typename Still>
auto steadyLook(const Look& look, const Still& still, int looks, std::chrono::milliseconds timeout) {
  decltype(look()) last{};
  int held = 0;
  waitUntil([&] {
    std::this_thread::sleep_for(250ms);
    auto now = look();
    held = still(last, now) ? held + 1 : 0;
    last = std::move(now);
    return held >= looks;
  }, timeout);
  return last;
}

// Shots until `area` differs from `before` and then holds still for a second.
QImage changedShot(const QImage& before, const QRect& area) {
  const auto still = [&](const QImage& last, const QImage& now) {
    return !last.isNull() && now.copy(area) == last.copy(area) && now.copy(area) != before.copy(area);
  };
  return steadyLook(screenshot, still, 4, 10s);
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
  return steadyLook(shownPanel, [](const QRect& last, const QRect& now) { return !now.isEmpty() && now == last; }, 6,
                    15s);
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
  QImage blank(screen.size(), screen.format());
  blank.fill(background);
  std::vector<DrawnButton> buttons;
  for (const QRect& box : changedRuns(blank, screen, header, 2)) {
    std::set<QRgb> colours;
    int shows = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x) {
        colours.insert(screen.pixel(x, y));
        shows += screen.pixel(x, y) == background;
      }
    buttons.push_back({colours.size() - colours.count(background), double(shows) / (box.width() * box.height())});
  }
  return buttons;
}

// The first item's host side once it answers (a host lists an item that has gone until it
// notices); no item when none answered.
TrayHost answeringItem() {
  TrayHost host{QDBusConnection::sessionBus(), {}};
  const bool answered = waitUntil([&] {
    host.item = trayItems().value(0);
    return !host.item.isEmpty() && host.property("Menu").isValid();
  }, 20s);
  if (!answered) host.item.clear();
  return host;
}

class RealDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QDBusConnection::sessionBus().interface()->isServiceRegistered("org.kde.StatusNotifierWatcher") ||
        QStandardPaths::findExecutable("xdotool").isEmpty() || desktop.name.empty())
      GTEST_SKIP() << "no tray host or xdotool: run inside tests/support/desktop-session.sh";
  }
  // What the application does on its own, rather than what a host decides, is checked on one
  // desktop, whose dunst keeps the notifications to read back.
  bool onTheApplicationsDesktop() const { return desktop.name == "xfce-top"; }
  static constexpr const char* kHostOnly = "checked on xfce-top alone: the host's part is in the click case";

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
  // Read through scripts/tray-tooltip, as other tools read it, from the host's own form of its list.
  const auto toolTip = [] { return QString::fromStdString(runProgram({testDataPath("../../scripts/tray-tooltip")}).out); };
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
  std::cout << desktop.name << ": item at x " << item.center().x() << ", panel from x " << panel.left() << " to "
            << panel.right() << "\n";

  // A host says where the click was (GNOME's does so through XWayland, where the
  // pointer cannot be read): the panel opens there, wherever the pointer is.
  const QPoint said(screen.width() / 4, bar.center().y());
  run({"xdotool", "mousemove", std::to_string(screen.width() / 2), std::to_string(screen.height() / 2)});
  TrayHost{QDBusConnection::sessionBus(), trayItems().value(0)}.call(
      "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate", {said.x(), said.y()});
  const QRect atSaid = settledPanel();
  EXPECT_TRUE(atSaid.left() <= said.x() && said.x() <= atSaid.right())
      << "the panel is not where the host said the click was: " << atSaid.left() << ".." << atSaid.right();
  run({"xdotool", "key", "Escape"});
  EXPECT_TRUE(panelShownSoon(false)) << "Escape did not close the panel opened by Activate";

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

// A host's reading of the item's menu: the ports are there, a port started later
// too (within a poll, the panel closed), labels read literally; a stop's
// confirmation in its own submenu ends a watched listener, which the user hears
// of; and Quit, picked in the menu the host shows, ends the application.
TEST_F(RealDesktop, TheMenuListsThePortsLiterallyStopsOneAfterItsConfirmationAndQuits) {
  if (!onTheApplicationsDesktop()) GTEST_SKIP() << kHostOnly;
  int port = 0;
  auto watched = devListener(port);
  PortLabels::set(*makeQtPreferences(), "R&D __main__", port);
  // Written as the panel writes it; the application follows the file.
  PortNotifier::setWatched(*makeQtPreferences(), {port});
  auto tarnwick = TestProcess::start({tarnwickPath()}, appOptions());
  TrayHost host = answeringItem();
  ASSERT_FALSE(host.item.isEmpty()) << "the item never reached the tray";
  const std::string watched_ = std::to_string(port) + " \u00B7 R&D __main__ (";
  ASSERT_TRUE(waitUntil([&] { return entryStarting(host.layout(), watched_) != -1; })) << "no \"" << watched_ << "\"";

  int laterPort = 0;
  auto later = devListener(laterPort);
  const std::string later_ = std::to_string(laterPort) + " \u00B7 ";
  EXPECT_TRUE(waitUntil([&] { return entryStarting(host.layout(), later_) != -1; }, 15s)) << "no \"" << later_ << "\"";
  const auto entries = host.layout().children;
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(shownLabel(entries.front()), "Open Tarnwick");
  EXPECT_EQ(shownLabel(entries.back()), "Quit");

  const std::string confirm = "Stop " + std::to_string(port) + " \u2014 confirm";
  const int confirmId = entryStarting(host.layout(), confirm);
  ASSERT_NE(confirmId, -1) << "no \"" << confirm << "\"";
  host.event(confirmId, "clicked");
  EXPECT_TRUE(watched.waitForExit(5s)) << "the confirmed stop did not end the listener";
  EXPECT_TRUE(processAlive(later.pid()));
  const auto stopped = englishTexts().format("notif_closed", {FormatArg{int64_t{port}}});
  EXPECT_TRUE(waitUntil([&] { return dunstShowed(stopped); }, 15s)) << "no \"" << stopped << "\"";

  // The systray is the Xfce panel's last plugin: the item is the 28 px square at its right end.
  // Up from an unselected menu picks its last entry. A key sent before the menu
  // is up goes nowhere, so keep sending until the application ends.
  const auto screen = run({"xdotool", "getdisplaygeometry"}).split(' ');
  run({"xdotool", "mousemove", std::to_string(screen.value(0).toInt() - 14), "14", "click", "3"});
  EXPECT_TRUE(waitUntil([&] {
    run({"xdotool", "key", "Up", "Return"});
    return tarnwick.waitForExit(500ms);
  })) << "Quit did not end the application";
}

// GNOME's host asks the menu to prepare as it attaches and says nothing more
// until the user opens it: a port started afterwards still shows within a poll.
TEST_F(RealDesktop, APortStartedAfterTheHostAttachedShowsInItsMenuWithinAPoll) {
  if (desktop.name != "gnome") GTEST_SKIP() << "GNOME's host alone prepares the menu it has not opened";
  auto tarnwick = TestProcess::start({tarnwickPath()}, appOptions());
  TrayHost host = answeringItem();
  ASSERT_FALSE(host.item.isEmpty()) << "the item never reached the host";
  // The host attaches as it draws the item, which it does at once.
  ASSERT_TRUE(waitUntil([&] { return entryStarting(host.layout(), "Quit") != -1; }));
  int port = 0;
  const auto started = std::chrono::steady_clock::now();
  auto later = devListener(port);
  const std::string entry = std::to_string(port) + " \u00B7 ";
  EXPECT_TRUE(waitUntil([&] { return entryStarting(host.layout(), entry) != -1; }, PortNotifier::kIdleInterval + 10s));
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  std::cout << "a port started later showed in the menu after " << took.count() << " ms\n";
  EXPECT_LE(took, PortNotifier::kIdleInterval + 3s) << "the menu stayed stale";
}

TEST_F(RealDesktop, WithoutABusASecondStartOpensThePanelAndACrashLeavesNoClaim) {
  if (!onTheApplicationsDesktop()) GTEST_SKIP() << kHostOnly;
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
  if (!onTheApplicationsDesktop()) GTEST_SKIP() << kHostOnly;
  PrivateBus bus;
  QDBusConnection server = bus.connection("server"), host = bus.connection("host");
  QList<QVariantList> notified;
  QList<uint> closed;
  StandIn notifications(QStringLiteral("org.freedesktop.Notifications"), {},
                        {{QStringLiteral("GetCapabilities"), StandIn::replying({QStringList{}})},
                         {QStringLiteral("Notify"),
                          StandIn::replying({41u}, [&](auto& m) { notified << m.arguments(); })},
                         {QStringLiteral("CloseNotification"),
                          StandIn::replying({}, [&](auto& m) { closed << m.arguments().value(0).toUInt(); })}});
  ASSERT_TRUE(notifications.serve(server, QStringLiteral("/org/freedesktop/Notifications")));

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
                  {{QStringLiteral("RegisterStatusNotifierItem"),
                    StandIn::replying({}, [&](auto& m) { item = m.service(); })}});
  ASSERT_TRUE(watcher.serve(host, QStringLiteral("/StatusNotifierWatcher")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !item.isEmpty(); }, 10000)) << "the item did not come with the tray";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !closed.isEmpty(); }, 10000)) << "the notice stayed";
  EXPECT_EQ(closed, QList<uint>{41});
  EXPECT_EQ(notified.size(), 1);
}

}  // namespace
