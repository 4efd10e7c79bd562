#include "ui/app_integrations.h"

#include "integrations/dev_count.h"
#include "integrations/notification_sink.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"
#include "integrations/qt/dbus_notification_sink.h"
#include "integrations/qt/qt_preferences.h"
#include "ui/tarnwick_app.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

namespace {

// The notifier and its polling thread live as long as the application.
struct NotifierHolder {
  std::shared_ptr<PortNotifier> notifier;
  PollLoop loop;
};

void postToGuiThread(std::function<void()> task) {
  QPointer<QCoreApplication> app = QCoreApplication::instance();
  if (!app) return;
  QMetaObject::invokeMethod(app, [app, task = std::move(task)] {
    if (app) task();
  }, Qt::QueuedConnection);
}

}  // namespace

void installIntegrations(TarnwickApp& app) {
  Prefs::install(makeQtPreferences());
  Notifications::install(makeDbusNotificationSink());

  QPointer<TarnwickApp> target = &app;
  DevCount::shared().subscribe([target](int64_t count) {
    if (target) target->setDevCount(static_cast<int>(count));
  });

  static NotifierHolder holder;
  holder.notifier = PortNotifier::create(postToGuiThread);
  holder.loop = holder.notifier->start();
  // Stop polling before the application object goes, not at static destruction.
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
    holder.loop.stop();
    holder.notifier.reset();
  });
}
