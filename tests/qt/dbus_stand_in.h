#pragma once
// A private session bus, and D-Bus objects made of a few handlers that stand
// in for a desktop's services (a tray's watcher, a notification server). They
// answer on the GUI thread: wait for them with QTest::qWaitFor, never by
// blocking it.
#include "support/test_process.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <functional>
#include <gtest/gtest.h>
#include <map>

/// dbus-daemon on a socket in a folder of its own. It starts no service on
/// demand (it finds none to start): what serves on it is the test's.
class PrivateBus {
 public:
  PrivateBus()
      : daemon_(TestProcess::start({"/usr/bin/dbus-daemon", "--nofork", "--print-address=1",
                                    "--config-file=" + dir_.write("bus.conf", kConfig),
                                    "--address=unix:path=" + dir_.path() + "/bus"})),
        address_(daemon_.readLine().value_or("")) {
    EXPECT_FALSE(address_.empty()) << "dbus-daemon gave no address";
  }
  ~PrivateBus() {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
  }

  const std::string& address() const { return address_; }
  /// A connection of its own for each `peer`: a service and its client are
  /// two processes on a real desktop.
  QDBusConnection connection(const QString& peer) {
    names_ << QString::fromStdString(address_) + QLatin1Char('#') + peer;
    return QDBusConnection::connectToBus(QString::fromStdString(address_), names_.back());
  }

 private:
  // A session bus without the folders of services to start on demand.
  // (dbus-daemon wants a <listen>; --address takes its place.)
  static constexpr const char* kConfig = R"(<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>)";

  TempDir dir_;  // the socket lives here, so nothing is left behind
  TestProcess daemon_;
  std::string address_;
  QStringList names_;
};

/// An object on a bus whose methods, by name in whatever interface, reply
/// with what their handler returns.
class StandIn final : public QDBusVirtualObject {
 public:
  using Method = std::function<QVariantList(const QDBusMessage&)>;

  StandIn(QString interface, std::map<QString, Method> methods)
      : interface_(std::move(interface)), methods_(std::move(methods)) {}

  /// A method that hands each call to `seen` and replies `reply`.
  static Method replying(QVariantList reply, std::function<void(const QDBusMessage&)> seen = {}) {
    return [reply = std::move(reply), seen = std::move(seen)](const QDBusMessage& message) {
      if (seen) seen(message);
      return reply;
    };
  }

  /// Serves this object at `path` on `connection`, under the service named as its interface.
  bool serve(QDBusConnection& connection, const QString& path) {
    return connection.registerVirtualObject(path, this) && connection.registerService(interface_);
  }

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    const auto method = methods_.find(message.member());
    if (method == methods_.end()) return false;
    return connection.send(message.createReply(method->second(message)));
  }

 private:
  QString interface_;
  std::map<QString, Method> methods_;
};

/// A tray's watcher whose host is registered: the one property the item reads,
/// IsStatusNotifierHostRegistered, is true. `registered` sees each item's registration.
inline StandIn trayWatcher(std::function<void(const QDBusMessage&)> registered) {
  return StandIn(QStringLiteral("org.kde.StatusNotifierWatcher"),
                 {{QStringLiteral("Get"), StandIn::replying({QVariant::fromValue(QDBusVariant(true))})},
                  {QStringLiteral("RegisterStatusNotifierItem"), StandIn::replying({}, std::move(registered))}});
}
