#include "integrations/qt/dbus_notification_sink.h"

#include "integrations/notification_text.h"

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

  void post(const std::string& title, const std::string& body) override { postWithdrawable(title, body); }

  std::optional<uint32_t> postWithdrawable(const std::string& title, const std::string& body) override {
    if (!connection_.isConnected()) {
      fallback_->post(title, body);
      return std::nullopt;
    }
    // Asked at each post: the server may have been replaced by one that reads
    // markup. One that does not answer in time would not show the message either.
    auto capabilities =
        connection_.call(methodCall(QStringLiteral("GetCapabilities")), QDBus::Block, kCallTimeoutMs);
    if (capabilities.type() == QDBusMessage::ErrorMessage) {
      if (!unansweredInTime(capabilities.errorName())) fallback_->post(title, body);
      return std::nullopt;
    }
    const bool markup = capabilities.arguments().value(0).toStringList().contains(QStringLiteral("body-markup"));
    auto reply = connection_.call(notifyCall(title, markup ? Notifications::escapedForMarkup(body) : body),
                                  QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
      if (!unansweredInTime(reply.errorName())) fallback_->post(title, body);
      return std::nullopt;
    }
    // The server's id. Servers never hand out 0: to them it means "none".
    const QVariant id = reply.arguments().value(0);
    if (id.typeId() != QMetaType::UInt || id.toUInt() == 0) return std::nullopt;
    return id.toUInt();
  }

  void withdraw(uint32_t id) override {
    if (!connection_.isConnected()) return;
    auto call = methodCall(QStringLiteral("CloseNotification"));
    call << id;
    // Sent without waiting: there is nothing to do about a notification that
    // cannot be closed, or has been already.
    connection_.send(call);
  }

 private:
  static QDBusMessage methodCall(const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
                                          QStringLiteral("/org/freedesktop/Notifications"),
                                          QStringLiteral("org.freedesktop.Notifications"), method);
  }

  static QDBusMessage notifyCall(const std::string& title, const std::string& body) {
    auto call = methodCall(QStringLiteral("Notify"));
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
