#include "ui/app_integrations.h"

#include "integrations/dev_count.h"
#include "integrations/notification_sink.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"
#include "integrations/qt/dbus_notification_sink.h"
#include "integrations/qt/qt_preferences.h"
#include "ui/panel_services.h"
#include "ui/platform_integrations.h"
#include "ui/port_list_model.h"
#include "ui/port_list_view.h"
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

// The panel: the model over the real system, drawn by the view, running its
// loops exactly while the window is shown.
void installPanel(TarnwickApp& app) {
  auto services = std::make_shared<RealPanelServices>(
      [](int count) { DevCount::shared().setCount(count); });
  auto* model = new PortListModel(&app, std::move(services));
  auto* view = new PortListView(model);
  PanelWindow& window = app.panel();
  window.setContent(view);
  QObject::connect(&window, &PanelWindow::shown, model, [model] { model->setPanelShown(true); });
  QObject::connect(&window, &PanelWindow::hidden, model, [model] { model->setPanelShown(false); });
  QObject::connect(view, &PortListView::escapeIgnored, &window, &QWidget::hide);
}

void startNotifier() {
  static NotifierHolder holder;
  holder.notifier = PortNotifier::create(postToGuiThread);
  holder.loop = holder.notifier->start();
  // Stop polling before the application object goes, not at static destruction.
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
    holder.loop.stop();
    holder.notifier.reset();
  });
}

}  // namespace

void installIntegrations(TarnwickApp& app) {
  installPlatformIntegrations();
  Prefs::install(makeQtPreferences());
  Notifications::install(makeDbusNotificationSink());

  QPointer<TarnwickApp> target = &app;
  DevCount::shared().subscribe([target](int64_t count) {
    if (target) target->setDevCount(static_cast<int>(count));
  });

  installPanel(app);
  startNotifier();
}
