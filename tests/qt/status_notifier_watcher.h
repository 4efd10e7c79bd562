#pragma once
// A stand-in for the desktop's tray host on a private bus: it accepts item
// registrations and records them. Its properties are listed in introspection,
// because Qt reads IsStatusNotifierHostRegistered through a QDBusInterface.
#include <QDBusConnection>
#include <QObject>
#include <QStringList>

class StatusNotifierWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)

 public:
  /// Registers the object and the watcher's name on `bus`; false on failure.
  bool publish(QDBusConnection bus);

  bool isHostRegistered() const { return true; }
  QStringList registeredItems() const { return items_; }

 public slots:
  void RegisterStatusNotifierItem(const QString& service);

 signals:
  void StatusNotifierItemRegistered(const QString& service);
  void StatusNotifierHostRegistered();

 private:
  QStringList items_;
};
