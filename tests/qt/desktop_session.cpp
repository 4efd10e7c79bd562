#include "qt/desktop_session.h"

#include "ui/port_list_view.h"

#include <QDBusPendingCall>
#include <QStandardPaths>
#include <QTest>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>

namespace {

std::string programPath(const std::string& program) {
  return QStandardPaths::findExecutable(QString::fromStdString(program)).toStdString();
}

}  // namespace

DesktopSession::DesktopSession(Bus bus) : runtime_(home_.path() + "/run") {
  std::filesystem::create_directories(runtime_);
  std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
  for (const char* program : {"Xvfb", "dbus-daemon", "xwininfo"})
    if (programPath(program).empty()) unavailable_ = std::string(program) + " is not installed";
  if (!unavailable_.empty()) return;

  xvfb_ = TestProcess::start({programPath("Xvfb"), "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
  auto number = xvfb_->readLine(std::chrono::seconds(20));
  if (!number || number->empty()) {
    unavailable_ = "Xvfb did not start";
    return;
  }
  display_ = ":" + *number;

  if (bus == Bus::None) {
    busAddress_ = "unix:path=" + home_.path() + "/no-bus";
    return;
  }
  // --nofork keeps the daemon our child, so the fixture can end it by PID.
  dbus_ = TestProcess::start({programPath("dbus-daemon"), "--session", "--nofork", "--print-address=1"});
  auto address = dbus_->readLine(std::chrono::seconds(20));
  if (!address || address->empty()) {
    unavailable_ = "dbus-daemon did not start";
    return;
  }
  busAddress_ = *address;
  static std::atomic<int> sessions{0};
  connectionName_ = "tarnwick-test-" + std::to_string(++sessions);
  QDBusConnection::connectToBus(QString::fromStdString(busAddress_), QString::fromStdString(connectionName_));
}

DesktopSession::~DesktopSession() {
  if (!connectionName_.empty()) QDBusConnection::disconnectFromBus(QString::fromStdString(connectionName_));
  if (dbus_) stop(*dbus_);
  if (xvfb_) stop(*xvfb_);
}

// Xvfb removes its lock file and socket only when it ends on a signal it
// handles; SIGKILL (TestProcess's last resort) would leave them in /tmp.
void DesktopSession::stop(TestProcess& server) {
  if (server.pid() <= 0) return;
  ::kill(server.pid(), SIGTERM);
  server.waitForExit(std::chrono::seconds(5));
  server.killGroup();
}

std::vector<std::string> DesktopSession::environment() const {
  return {"DISPLAY=" + display_,
          "WAYLAND_DISPLAY=",
          "QT_QPA_PLATFORM=xcb",
          "DBUS_SESSION_BUS_ADDRESS=" + busAddress_,
          "HOME=" + home_.path(),
          "XDG_CONFIG_HOME=" + home_.path() + "/config",
          "XDG_RUNTIME_DIR=" + runtime_};
}

QDBusConnection DesktopSession::bus() const { return QDBusConnection(QString::fromStdString(connectionName_)); }

TestProcess DesktopSession::startTarnwick() const {
  return TestProcess::start({tarnwickPath()}, {.workingDirectory = {}, .extraEnv = environment()});
}

int DesktopSession::runTarnwick() const {
  return runProgram({tarnwickPath()}, {.workingDirectory = {}, .extraEnv = environment()}).status;
}

bool DesktopSession::panelViewable() const {
  TestProcess::Options options{.workingDirectory = {}, .extraEnv = {"DISPLAY=" + display_}};
  std::istringstream tree(runProgram({programPath("xwininfo"), "-root", "-tree"}, options).out);
  for (std::string line; std::getline(tree, line);) {
    if (line.find("\"Tarnwick\"") == std::string::npos || line.find(" " + std::to_string(PortListView::kWidth) + "x") == std::string::npos) continue;
    std::istringstream fields(line);
    std::string id;
    fields >> id;
    if (runProgram({programPath("xwininfo"), "-id", id}, options).out.find("IsViewable") != std::string::npos)
      return true;
  }
  return false;
}

QDBusMessage callAndWait(const QDBusConnection& bus, const QDBusMessage& message, int timeoutMs) {
  QDBusPendingCall call = bus.asyncCall(message, timeoutMs);
  if (!QTest::qWaitFor([&] { return call.isFinished(); }, timeoutMs + 1000)) return {};
  return call.reply();
}
