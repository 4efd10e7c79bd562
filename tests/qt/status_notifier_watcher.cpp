#include "qt/status_notifier_watcher.h"

bool StatusNotifierWatcher::publish(QDBusConnection bus) {
  return bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), this, QDBusConnection::ExportAllContents) &&
         bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

void StatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service) {
  items_.append(service);
  emit StatusNotifierItemRegistered(service);
}
