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
#include <gtest/gtest.h>
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
  TrayHost watcher{QDBusConnection::sessionBus(), QStringLiteral("org.kde.StatusNotifierWatcher")};
  auto items = watcher.property("RegisteredStatusNotifierItems", "/StatusNotifierWatcher", watcher.item).toStringList();
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

// Escape closes the panel: it has the keyboard however it was opened.
void closeWithEscape(const char* opened) {
  run({"xdotool", "key", "Escape"});
  EXPECT_TRUE(panelShownSoon(false)) << "Escape did not close the panel opened by " << opened;
}

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
  const auto png = runProgram({QStandardPaths::findExecutable("import").toStdString(), "-window", "root", "png:-"}).out;
  return QImage::fromData(QByteArray::fromStdString(png), "PNG").convertToFormat(QImage::Format_RGB32);
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

// The panel's frame once it has stopped moving and growing; empty when it never showed.
QRect settledPanel() {
  return steadyLook(shownPanel, [](const QRect& last, const QRect& now) { return !now.isEmpty() && now == last; }, 6,
                    15s);
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
  static constexpr const char* kHostOnly = "checked on xfce-top alone: the host's part is in the session case";

  Desktop desktop;
};

// A user's session with the item, alike on every desktop. The host decides where the item
// is, what opens the panel and where the panel goes. The menu, as the host reads it, lists
// the ports literally, and a port started after the host attached within a poll (GNOME's
// host asks the menu to prepare as it attaches and says nothing more until the user opens
// it). A stop confirmed in its own submenu ends a watched listener, which the user hears
// of; Quit, picked in the menu the host shows, ends the application.
TEST_F(RealDesktop, TheItemCountsOpensThePanelAgainstTheBarAndItsMenuStopsAndQuits) {
  const QImage withoutItem = screenshot();
  const QSize screen = withoutItem.size();
  const QRect bar(0, desktop.barAtBottom ? screen.height() - desktop.bar : 0, screen.width(), desktop.bar);
  int port = 0;
  auto watched = devListener(port);
  PortLabels::set(*makeQtPreferences(), "R&D __main__", port);
  // Written as the panel writes it; the application follows the file.
  PortNotifier::setWatched(*makeQtPreferences(), {port});
  auto tarnwick = TestProcess::start({tarnwickPath()}, appOptions());
  ASSERT_TRUE(waitUntil([] { return trayItems().size() == 1; }, 20s)) << "the item never reached the host";
  TrayHost host{QDBusConnection::sessionBus(), trayItems().value(0)};
  // The host attaches as it draws the item.
  const QImage withItem = changedShot(withoutItem, bar);

  int laterPort = 0;
  const auto started = std::chrono::steady_clock::now();
  auto later = devListener(laterPort);
  const QRect item = findItem(withoutItem, withItem, bar);
  ASSERT_FALSE(item.isEmpty()) << "the item's count never showed in the bar";
  const std::string later_ = std::to_string(laterPort) + " \u00B7 ";
  EXPECT_TRUE(waitUntil([&] { return entryStarting(host.layout(), later_) != -1; }, PortNotifier::kIdleInterval + 10s))
      << "no \"" << later_ << "\"";
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  // A poll, and its scan on a busy machine: KDE's shell keeps both cores busy as it starts.
  EXPECT_LE(took, PortNotifier::kIdleInterval + 5s) << "the menu stayed stale";
  const std::string watched_ = std::to_string(port) + " \u00B7 R&D __main__ (";
  EXPECT_NE(entryStarting(host.layout(), watched_), -1) << "no \"" << watched_ << "\"";

  // The host may draw the item before it takes clicks on it: click again while nothing opens.
  const auto x = std::to_string(item.center().x()), y = std::to_string(item.center().y());
  std::vector<std::string> click{"xdotool", "mousemove", x, y, "click"};
  if (desktop.doubleClick) click.insert(click.end(), {"--repeat", "2", "--delay", "120"});
  click.push_back("1");
  ASSERT_TRUE(waitUntil([&] {
    run(click);
    return waitUntil([&] { return !shownPanel().isEmpty(); }, 2s);
  }, 20s)) << "a click on the item at " << x << "," << y << " opened nothing";
  // Its rows arrive after it shows; it is judged once it no longer moves or grows.
  const QRect panel = settledPanel();
  const auto where = QStringLiteral("panel %1,%2 %3x%4, item at %5,%6")
                         .arg(panel.x()).arg(panel.y()).arg(panel.width()).arg(panel.height())
                         .arg(QString::fromStdString(x), QString::fromStdString(y))
                         .toStdString();
  EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(panel)) << "the panel runs off the screen: " << where;
  // It lies against the bar: off it, and short of a gap worth the name.
  const int gap = desktop.barAtBottom ? bar.top() - panel.bottom() - 1 : panel.top() - bar.bottom() - 1;
  EXPECT_TRUE(gap >= 0 && gap <= 12) << "the panel is not against the item's bar: " << where;
  EXPECT_TRUE(panel.left() <= item.center().x() && item.center().x() <= panel.right())
      << "the panel is not beside the item: " << where;
  closeWithEscape("a click");

  // A host says where the click was (GNOME's does so through XWayland, where the
  // pointer cannot be read): the panel opens there, wherever the pointer is.
  const QPoint said(screen.width() / 4, bar.center().y());
  run({"xdotool", "mousemove", std::to_string(screen.width() / 2), std::to_string(screen.height() / 2)});
  host.call("/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate", {said.x(), said.y()});
  const QRect atSaid = settledPanel();
  EXPECT_TRUE(atSaid.left() <= said.x() && said.x() <= atSaid.right())
      << "the panel is not where the host said the click was: " << atSaid.left() << ".." << atSaid.right();
  closeWithEscape("Activate");

  // A second start opens the running one's panel, over the bus, and adds no item.
  EXPECT_EQ(runProgram({tarnwickPath()}, appOptions()).status, 0);
  EXPECT_TRUE(panelShownSoon(true)) << "a second start did not open the panel";
  EXPECT_EQ(trayItems().size(), 1);
  closeWithEscape("a second start");

  const std::string confirm = "Stop " + std::to_string(port) + " \u2014 confirm";
  const int confirmId = entryStarting(host.layout(), confirm);
  ASSERT_NE(confirmId, -1) << "no \"" << confirm << "\"";
  host.event(confirmId, "clicked");
  EXPECT_TRUE(watched.waitForExit(5s)) << "the confirmed stop did not end the listener";
  EXPECT_TRUE(processAlive(later.pid()));
  // The notice and Quit are the application's own part, read back from dunst and the Xfce panel's menu.
  if (!onTheApplicationsDesktop()) return;
  const auto stopped = englishTexts().format("notif_closed", {FormatArg{int64_t{port}}});
  EXPECT_TRUE(waitUntil([&] { return dunstShowed(stopped); }, 15s)) << "no \"" << stopped << "\"";

  // Up from an unselected menu picks its last entry. A key sent before the menu
  // is up goes nowhere, so keep sending until the application ends.
  run({"xdotool", "mousemove", x, y, "click", "3"});
  EXPECT_TRUE(waitUntil([&] {
    run({"xdotool", "key", "Up", "Return"});
    return tarnwick.waitForExit(500ms);
  })) << "Quit did not end the application";
}

TEST_F(RealDesktop, WithoutABusASecondStartOpensThePanelAndACrashLeavesNoClaim) {
  if (!onTheApplicationsDesktop()) GTEST_SKIP() << kHostOnly;
  TempDir runtime;  // made 0700, as a runtime folder must be
  const auto options = appOptions({"DBUS_SESSION_BUS_ADDRESS=unix:path=" + runtime.path() + "/no-bus",
                                   "XDG_RUNTIME_DIR=" + runtime.path()});
  auto first = TestProcess::start({tarnwickPath()}, options);
  ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(runtime.path() + "/tarnwick.socket"); }));

  // A crash leaves the lock and the socket behind; the next start takes both over,
  // and a start after it opens its panel.
  first.killGroup();
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
  StandIn notifications(QStringLiteral("org.freedesktop.Notifications"),
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
  StandIn watcher = trayWatcher([&](const QDBusMessage& m) { item = m.service(); });
  ASSERT_TRUE(watcher.serve(host, QStringLiteral("/StatusNotifierWatcher")));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !item.isEmpty(); }, 10000)) << "the item did not come with the tray";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !closed.isEmpty(); }, 10000)) << "the notice stayed";
  EXPECT_EQ(closed, QList<uint>{41});
  EXPECT_EQ(notified.size(), 1);
}

}  // namespace
