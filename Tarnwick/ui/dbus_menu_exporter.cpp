#include "ui/dbus_menu_exporter.h"

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QGuiApplication>

// The bus-facing side: each call goes to the exporter as values.
class DBusMenuAdaptor : public QDBusAbstractAdaptor, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
  Q_PROPERTY(uint Version READ version)
  Q_PROPERTY(QString TextDirection READ textDirection)
  Q_PROPERTY(QString Status READ status)
  Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

 public:
  explicit DBusMenuAdaptor(DBusMenuExporter* menu) : QDBusAbstractAdaptor(menu), menu_(*menu) {}

  uint version() const { return 3; }
  QString textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
  }
  QString status() const { return QStringLiteral("normal"); }
  QStringList iconThemePath() const { return {}; }

 public slots:
  uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames, DBusMenuLayoutItem& layout) {
    if (auto found = menu_.layout(parentId, recursionDepth, propertyNames))
      layout = *found;
    else
      unknownId(parentId);
    return menu_.revision();
  }

  DBusMenuItemList GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames) {
    DBusMenuItemList items;
    for (int id : ids.isEmpty() ? menu_.ids() : ids)
      if (menu_.contains(id)) items << DBusMenuItem{id, menu_.properties(id, propertyNames)};
    return items;
  }

  QDBusVariant GetProperty(int id, const QString& name) {
    const QVariant value = menu_.properties(id, {name}).value(name);
    if (!value.isValid()) unknownId(id);
    return QDBusVariant(value.isValid() ? value : QVariant(QString()));
  }

  void Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (!menu_.event(id, eventId)) unknownId(id);
  }

  QList<int> EventGroup(const DBusMenuEventList& events) {
    QList<int> unknown;
    for (const DBusMenuEvent& event : events)
      if (!menu_.event(event.id, event.eventId)) unknown << event.id;
    return unknown;
  }

  bool AboutToShow(int id) { return menu_.aboutToShow(id); }

  QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    QList<int> update;
    for (int id : ids) {
      if (!menu_.contains(id))
        idErrors << id;
      else if (menu_.aboutToShow(id))
        update << id;
    }
    return update;
  }

 signals:
  void LayoutUpdated(uint revision, int parent);
  void ItemsPropertiesUpdated(const DBusMenuItemList& updatedProps, const DBusMenuItemKeysList& removedProps);
  void ItemActivationRequested(int id, uint timestamp);

 private:
  void unknownId(int id) {
    sendErrorReply(QStringLiteral("com.canonical.dbusmenu.UnknownId"), QStringLiteral("no entry %1").arg(id));
  }

  DBusMenuExporter& menu_;
};

namespace {

QVariantMap entryProperties(const MenuEntry& entry, const QStringList& names) {
  QVariantMap all;
  if (entry.type == MenuEntry::Type::Separator)
    all.insert(QStringLiteral("type"), QStringLiteral("separator"));
  else if (entry.id != 0)
    all.insert(QStringLiteral("label"), QString::fromStdString(entry.label));
  if (!entry.children.empty()) all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
  if (names.isEmpty()) return all;
  QVariantMap named;
  for (const QString& name : names)
    if (all.contains(name)) named.insert(name, all.value(name));
  return named;
}

DBusMenuLayoutItem layoutOf(const MenuEntry& entry, int depth, const QStringList& names) {
  DBusMenuLayoutItem item{entry.id, entryProperties(entry, names), {}};
  if (depth != 0)
    for (const MenuEntry& child : entry.children) item.children << layoutOf(child, depth - 1, names);
  return item;
}

void collectIds(const MenuEntry& entry, QList<int>& ids) {
  ids << entry.id;
  for (const MenuEntry& child : entry.children) collectIds(child, ids);
}

}  // namespace

DBusMenuExporter::DBusMenuExporter(QObject* parent) : QObject(parent) {
  registerDBusMenuTypes();
  adaptor_ = new DBusMenuAdaptor(this);
}

bool DBusMenuExporter::serve(QDBusConnection bus, const QString& path) {
  return bus.registerObject(path, this, QDBusConnection::ExportAdaptors);
}

void DBusMenuExporter::setItems(const std::vector<TrayMenuItem>& items) {
  MenuLayout next = menuLayout(items, layout_.ids);
  if (next.root == layout_.root) return;
  DBusMenuItemList changed;
  for (int id : relabelled(layout_.root, next.root))
    changed << DBusMenuItem{id, entryProperties(*findEntry(next.root, id), {QStringLiteral("label")})};
  layout_ = std::move(next);
  ++revision_;
  // A host redraws the entries it knows from this; it reads a new layout only for the ones it does not.
  if (!changed.isEmpty()) emit adaptor_->ItemsPropertiesUpdated(changed, {});
  emit adaptor_->LayoutUpdated(revision_, 0);
}

std::optional<DBusMenuLayoutItem> DBusMenuExporter::layout(int parentId, int depth, const QStringList& names) {
  const MenuEntry* entry = findEntry(layout_.root, parentId);
  if (!entry) return std::nullopt;
  revisionRead_ = revision_;
  return layoutOf(*entry, depth, names);
}

bool DBusMenuExporter::contains(int id) const { return findEntry(layout_.root, id) != nullptr; }

QVariantMap DBusMenuExporter::properties(int id, const QStringList& names) const {
  const MenuEntry* entry = findEntry(layout_.root, id);
  return entry ? entryProperties(*entry, names) : QVariantMap();
}

bool DBusMenuExporter::event(int id, const QString& eventId) {
  const MenuEntry* entry = findEntry(layout_.root, id);
  if (!entry) {
    // A host that closes an entry the layout has since lost still closes it.
    if (eventId == QLatin1String("closed") && open_.erase(id) && open_.empty()) emit closed();
    return false;
  }
  if (eventId == QLatin1String("opened")) {
    open_.insert(id);
    emit opened();
  } else if (eventId == QLatin1String("closed")) {
    // Closing the root closes its submenus, whether or not the host says so.
    if (id == 0) open_.clear();
    open_.erase(id);
    if (open_.empty()) emit closed();
  } else if (eventId == QLatin1String("clicked") && entry->command.kind != MenuCommand::Kind::None) {
    emit clicked(entry->command);
  }
  return true;
}

bool DBusMenuExporter::aboutToShow(int) { return revisionRead_ != revision_; }

QList<int> DBusMenuExporter::ids() const {
  QList<int> ids;
  collectIds(layout_.root, ids);
  return ids;
}

#include "dbus_menu_exporter.moc"
