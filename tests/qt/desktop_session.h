#pragma once
// A private desktop for end-to-end tests of the tray application: an Xvfb
// display, a private session bus, and temporary HOME and runtime directories.
// Both servers end with the session, even when a test fails.
#include "support/test_process.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <optional>
#include <string>
#include <vector>

class DesktopSession {
 public:
  enum class Bus { Private, None };

  explicit DesktopSession(Bus bus);
  ~DesktopSession();  // not copied: TempDir is not

  /// Why the session could not be set up (Xvfb or dbus-daemon missing);
  /// empty when it is ready.
  const std::string& unavailable() const { return unavailable_; }

  /// The environment for the application: the display, the bus (or an
  /// unusable address), HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR.
  std::vector<std::string> environment() const;
  const std::string& runtimeDirectory() const { return runtime_; }

  /// This test's own connection to the private bus.
  QDBusConnection bus() const;

  /// Starts tarnwick in the session.
  TestProcess startTarnwick() const;
  /// Runs tarnwick to its end; its exit status.
  int runTarnwick() const;

  /// True while a window titled "Tarnwick", as wide as the panel, is on screen.
  bool panelViewable() const;

 private:
  void stop(TestProcess& server);

  TempDir home_;
  std::string runtime_;
  std::string display_;
  std::string busAddress_;
  std::string connectionName_;
  std::optional<TestProcess> xvfb_;
  std::optional<TestProcess> dbus_;
  std::string unavailable_;
};

/// Sends `message` on `bus` and waits up to `timeoutMs` for the answer while
/// the event loop runs, so that the application may call back into this
/// process meanwhile.
QDBusMessage callAndWait(const QDBusConnection& bus, const QDBusMessage& message, int timeoutMs = 5000);
