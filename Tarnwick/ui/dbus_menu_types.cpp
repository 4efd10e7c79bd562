#include "ui/dbus_menu_types.h"

#include <QDBusMetaType>

void registerDBusMenuTypes() {
  qDBusRegisterMetaType<DBusMenuLayoutItem>();
  qDBusRegisterMetaType<QList<DBusMenuLayoutItem>>();
  qDBusRegisterMetaType<DBusMenuItem>();
  qDBusRegisterMetaType<DBusMenuItemList>();
  qDBusRegisterMetaType<DBusMenuItemKeys>();
  qDBusRegisterMetaType<DBusMenuItemKeysList>();
  qDBusRegisterMetaType<DBusMenuEvent>();
  qDBusRegisterMetaType<DBusMenuEventList>();
  // Qt DBus finds a slot by its parameters' type names, which moc keeps as written.
  qRegisterMetaType<DBusMenuItemList>("DBusMenuItemList");
  qRegisterMetaType<DBusMenuItemKeysList>("DBusMenuItemKeysList");
  qRegisterMetaType<DBusMenuEventList>("DBusMenuEventList");
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item) {
  argument.beginStructure();
  argument << item.id << item.properties;
  // The children go as variants: a D-Bus signature cannot name itself.
  argument.beginArray(QMetaType::fromType<QDBusVariant>());
  for (const DBusMenuLayoutItem& child : item.children) argument << QDBusVariant(QVariant::fromValue(child));
  argument.endArray();
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item) {
  argument.beginStructure();
  argument >> item.id >> item.properties;
  item.children.clear();
  argument.beginArray();
  while (!argument.atEnd()) {
    QDBusVariant child;
    argument >> child;
    item.children << qdbus_cast<DBusMenuLayoutItem>(child.variant());
  }
  argument.endArray();
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item) {
  argument.beginStructure();
  argument << item.id << item.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item) {
  argument.beginStructure();
  argument >> item.id >> item.properties;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys) {
  argument.beginStructure();
  argument << keys.id << keys.names;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys) {
  argument.beginStructure();
  argument >> keys.id >> keys.names;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event) {
  argument.beginStructure();
  argument << event.id << event.eventId << event.data << event.timestamp;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event) {
  argument.beginStructure();
  argument >> event.id >> event.eventId >> event.data >> event.timestamp;
  argument.endStructure();
  return argument;
}
