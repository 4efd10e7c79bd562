#pragma once
// A status-notifier host's side of the tray item: what it reads and clicks over
// D-Bus, whether the item is served by this process on a private bus or by the
// application on a real desktop.
#include "ui/dbus_menu_types.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QTest>
#include <gtest/gtest.h>

/// Calls the item and waits for the answer without blocking the event loop,
/// which may be the one serving it.
struct TrayHost {
  QDBusConnection bus;
  QString item;  ///< the connection the item registered from

  static inline const QString kMenu = QStringLiteral("com.canonical.dbusmenu");

  QDBusMessage call(const QString& path, const QString& interface, const QString& method, QVariantList args = {}) {
    auto message = QDBusMessage::createMethodCall(item, path, interface, method);
    message.setArguments(args);
    QDBusPendingCall pending = bus.asyncCall(message, 5000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 6000)) << method.toStdString();
    return pending.reply();
  }
  DBusMenuLayoutItem layout() {
    registerDBusMenuTypes();
    const QDBusMessage reply = call("/MenuBar", kMenu, "GetLayout", {0, -1, QStringList{}});
    return qdbus_cast<DBusMenuLayoutItem>(reply.arguments().value(1));
  }
  void event(int id, const QString& event) {
    call("/MenuBar", kMenu, "Event", {id, event, QVariant::fromValue(QDBusVariant(0)), 0u});
  }
  /// A property of the item, or of another object the connection serves; invalid when it does not answer.
  QVariant property(const QString& name, const QString& path = QStringLiteral("/StatusNotifierItem"),
                    const QString& interface = QStringLiteral("org.kde.StatusNotifierItem")) {
    const QDBusMessage reply = call(path, "org.freedesktop.DBus.Properties", "Get", {interface, name});
    return reply.arguments().value(0).value<QDBusVariant>().variant();
  }
};

/// An entry's label as a host shows it: "__" is an underscore, a lone "_" marks the next character.
inline std::string shownLabel(const DBusMenuLayoutItem& entry) {
  const QString label = entry.properties.value("label").toString();
  QString shown;
  for (qsizetype i = 0; i < label.size(); ++i) {
    if (label[i] == '_' && i + 1 < label.size()) ++i;
    shown += label[i];
  }
  return shown.toStdString();
}

/// The number of the first entry, depth first, whose label as shown starts with `start`; -1 when none does.
inline int entryStarting(const DBusMenuLayoutItem& root, const std::string& start) {
  if (root.id != 0 && shownLabel(root).starts_with(start)) return root.id;
  for (const DBusMenuLayoutItem& child : root.children)
    if (const int id = entryStarting(child, start); id != -1) return id;
  return -1;
}
