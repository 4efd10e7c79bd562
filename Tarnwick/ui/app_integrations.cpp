#include "ui/app_integrations.h"

#include "ui/tarnwick_app.h"

// What belongs here, in this order:
//   - Prefs::install(makeQtPreferences())           integrations/qt/qt_preferences.h
//   - the notification sink: makeDbusNotificationSink()
//                                                   integrations/qt/dbus_notification_sink.h
//   - DevCount's changes connected to app.setDevCount(int)
//                                                   integrations/dev_count.h
//   - one PortNotifier, kept for the life of the process, and its start()
//                                                   integrations/port_notifier.h
void installIntegrations(TarnwickApp&) {}
