#include "integrations/qt/dbus_notification_sink.h"

#include "integrations/notification_markup.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

// The call runs on the notifier's thread; a hung notification server must not
// hold up the next poll for long.
constexpr int kCallTimeoutMs = 3000;

// A server that did not answer in time may have shown the notification all the
// same; posting it again elsewhere would show it twice.
bool unansweredInTime(const QString& errorName) {
  return errorName == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
         errorName == QLatin1String("org.freedesktop.DBus.Error.Timeout");
}

class DbusNotificationSink final : public NotificationSink {
 public:
  DbusNotificationSink(QDBusConnection connection, std::shared_ptr<NotificationSink> fallback)
      : connection_(std::move(connection)), fallback_(std::move(fallback)) {}

  void post(const std::string& title, const std::string& body) override {
    if (!connection_.isConnected()) {
      fallback_->post(title, body);
      return;
    }
    // Asked at each post: the server may have been replaced by one that reads
    // markup. One that does not answer in time would not show the message either.
    auto capabilities = connection_.call(method("GetCapabilities"), QDBus::Block, kCallTimeoutMs);
    if (capabilities.type() == QDBusMessage::ErrorMessage) {
      if (!unansweredInTime(capabilities.errorName())) fallback_->post(title, body);
      return;
    }
    const bool markup = capabilities.arguments().value(0).toStringList().contains(QStringLiteral("body-markup"));
    auto reply = connection_.call(notifyCall(title, markup ? Notifications::escapedForMarkup(body) : body),
                                  QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage && !unansweredInTime(reply.errorName()))
      fallback_->post(title, body);
  }

 private:
  static QDBusMessage method(const char* name) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                          QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"), QString::fromLatin1(name));
  }

  static QDBusMessage notifyCall(const std::string& title, const std::string& body) {
    auto call = method("Notify");
    call << QStringLiteral("Tarnwick")           // app_name
         << 0u                                   // replaces_id
         << QString()                            // app_icon
         << QString::fromStdString(title)        // summary
         << QString::fromStdString(body)         // body
         << QStringList()                        // actions
         << QVariantMap()                        // hints
         << -1;                                  // expire_timeout: the server's default
    return call;
  }

  QDBusConnection connection_;
  std::shared_ptr<NotificationSink> fallback_;
};

}  // namespace

std::shared_ptr<NotificationSink> makeDbusNotificationSink(const QDBusConnection& connection,
                                                           std::shared_ptr<NotificationSink> fallback) {
  return std::make_shared<DbusNotificationSink>(connection, std::move(fallback));
}

std::shared_ptr<NotificationSink> makeDbusNotificationSink() {
  return makeDbusNotificationSink(QDBusConnection::sessionBus(), Notifications::fallbackSink());
}
