#pragma once
// Desktop notifications through org.freedesktop.Notifications on the session bus.
#include "integrations/notification_sink.h"

#include <QDBusConnection>

#include <memory>

/// Posts through the session bus; falls back to Notifications::fallbackSink()
/// when there is no bus or nobody serves the notification interface.
std::shared_ptr<NotificationSink> makeDbusNotificationSink();

/// The same on `connection` (usable from any thread), with `fallback` taking
/// the messages that the bus cannot.
std::shared_ptr<NotificationSink> makeDbusNotificationSink(const QDBusConnection& connection,
                                                           std::shared_ptr<NotificationSink> fallback);
