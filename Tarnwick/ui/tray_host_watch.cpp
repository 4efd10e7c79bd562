#include "ui/tray_host_watch.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

}  // namespace

TrayHostWatch::TrayHostWatch(const QDBusConnection& bus, std::chrono::milliseconds noHostNotice, QObject* parent)
    : QObject(parent), bus_(bus) {
  fallback_.setSingleShot(true);
  fallback_.setInterval(kXembedFallbackMs);
  connect(&fallback_, &QTimer::timeout, this, &TrayHostWatch::finish);
  noHostNotice_.setSingleShot(true);
  noHostNotice_.setInterval(noHostNotice);
  connect(&noHostNotice_, &QTimer::timeout, this, &TrayHostWatch::noHost);
}

void TrayHostWatch::start() {
  if (!bus_.isConnected()) {
    finish();
    return;
  }
  serviceWatcher_ = new QDBusServiceWatcher(kWatcherService, bus_, QDBusServiceWatcher::WatchForRegistration, this);
  connect(serviceWatcher_, &QDBusServiceWatcher::serviceRegistered, this, &TrayHostWatch::check);
  // A watcher may come up before its host registers with it.
  bus_.connect(kWatcherService, kWatcherPath, kWatcherInterface, QStringLiteral("StatusNotifierHostRegistered"), this,
               SLOT(check()));
  bus_.connect(kWatcherService, kWatcherPath, kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
               SLOT(check()));
  fallback_.start();
  noHostNotice_.start();
  check();
}

void TrayHostWatch::check() {
  if (finished_) return;
  auto message = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kPropertiesInterface,
                                                QStringLiteral("Get"));
  message << kWatcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
  auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
  connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    call->deleteLater();
    QDBusPendingReply<QDBusVariant> reply = *call;
    if (reply.isValid() && reply.value().variant().toBool()) finish();
  });
}

void TrayHostWatch::finish() {
  if (finished_) return;
  finished_ = true;
  fallback_.stop();
  noHostNotice_.stop();
  if (serviceWatcher_) serviceWatcher_->deleteLater();
  serviceWatcher_ = nullptr;
  emit ready();
}
