#pragma once
// One application per user session: a second start asks the running one to
// open its panel and ends, so a start at login plus a manual start never shows
// two tray items. With a session bus the claim is the bus name
// "com.ulmarsh.tarnwick"; without one, a lock file and a local socket in the
// user's runtime directory.
#include <QDBusConnection>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

class SingleInstance : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.ulmarsh.tarnwick")

 public:
  enum class Role {
    Primary,     ///< this process is the session's application
    HandedOver,  ///< the running application was asked to open its panel
    Failed,      ///< another one holds the claim but did not answer
  };

  static constexpr const char* kServiceName = "com.ulmarsh.tarnwick";
  static constexpr const char* kObjectPath = "/com/ulmarsh/tarnwick";

  /// `runtimeDirectory` holds the lock and the socket when `bus` is not
  /// connected; see defaultRuntimeDirectory().
  SingleInstance(const QDBusConnection& bus, const QString& runtimeDirectory, QObject* parent = nullptr);
  ~SingleInstance() override;

  Role claim();

  /// $XDG_RUNTIME_DIR, else a directory of our own under /tmp (made with mode
  /// 0700); empty when neither can be used.
  static QString defaultRuntimeDirectory();

 public slots:
  /// The D-Bus method other starts call.
  Q_SCRIPTABLE void Activate();

 signals:
  /// Another start asked for the panel.
  void activateRequested();

 private:
  Role claimBusName();
  Role claimSocket();

  QDBusConnection bus_;
  QString runtimeDirectory_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};
