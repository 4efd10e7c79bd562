// The entry point that the tarnwick executable finds with dlsym once it has
// loaded this module.
#include "core/system/terminal_text.h"
#include "integrations/qt/dbus_notification_sink.h"
#include "integrations/qt/qt_preferences.h"
#include "ui/app_context.h"
#include "ui/platform_integrations.h"
#include "ui/single_instance.h"
#include "ui/tarnwick_app.h"

#include <QApplication>
#include <QDBusConnection>
#include <QList>
#include <QPair>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// While QApplication opens the display Qt reports a failure as a warning
// followed by a fatal message that aborts. Hold the messages back, and turn a
// fatal one into one line and exit status 1.
QtMessageHandler previousHandler = nullptr;
QList<QPair<QtMsgType, QString>>* heldMessages = nullptr;

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (heldMessages)
      heldMessages->append({type, message});
    else if (previousHandler)
      previousHandler(type, context, message);
    return;
  }
  QString reason = message.section('\n', 0, 0);
  if (heldMessages && !heldMessages->isEmpty()) reason = heldMessages->first().second;
  std::fprintf(stderr, "tarnwick: cannot open the display: %s\n",
               PortCore::terminalText(reason.toStdString()).c_str());
  std::fflush(stderr);
  ::_exit(1);
}

std::unique_ptr<QApplication> openApplication(int& argc, char** argv) {
  QList<QPair<QtMsgType, QString>> held;
  heldMessages = &held;
  previousHandler = qInstallMessageHandler(holdStartupMessage);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previousHandler);
  heldMessages = nullptr;
  for (const auto& [type, message] : held) qt_message_output(type, QMessageLogContext(), message);
  return app;
}

void describeApplication() {
  QApplication::setOrganizationName(QStringLiteral("tarnwick"));
  QApplication::setApplicationName(QStringLiteral("tarnwick"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tarnwick"));
  QGuiApplication::setDesktopFileName(QStringLiteral("com.ulmarsh.tarnwick"));
  // The panel closing must not end a tray application.
  QApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int tarnwick_run_application(int argc, char** argv) {
  int qtArgc = argc;
  auto app = openApplication(qtArgc, argv);
  describeApplication();

  QDBusConnection bus = QDBusConnection::sessionBus();
  SingleInstance instance(bus, SingleInstance::defaultRuntimeDirectory());
  switch (instance.claim()) {
    case SingleInstance::Role::Primary:
      break;
    case SingleInstance::Role::HandedOver:
      return 0;
    case SingleInstance::Role::Failed:
      std::fprintf(stderr, "tarnwick: another tarnwick is running but does not answer\n");
      return 1;
  }

  // Made before the tray, so that it outlives the panel's background work.
  AppContext context(makeQtPreferences(), makeDbusNotificationSink(), makePlatformLoginService());
  TarnwickApp tarnwick(bus, context.texts());
  QObject::connect(&instance, &SingleInstance::activateRequested, &tarnwick, &TarnwickApp::openPanel);
  installPanel(tarnwick, context);
  context.startPolling();
  tarnwick.start();
  app->exec();
  return 0;
}
