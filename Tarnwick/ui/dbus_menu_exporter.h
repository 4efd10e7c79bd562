#pragma once
// The item's menu served over com.canonical.dbusmenu, the way every status-
// notifier host reads a menu: the host draws it from the layout and reports
// what the user does as events. This object knows the layout and what the host
// said; what a click or an opening means is its owner's business.
#include "ui/dbus_menu_types.h"
#include "ui/menu_layout.h"
#include "ui/tray_menu.h"

#include <QDBusConnection>
#include <QObject>
#include <optional>
#include <set>
#include <vector>

class DBusMenuAdaptor;

class DBusMenuExporter : public QObject {
  Q_OBJECT

 public:
  explicit DBusMenuExporter(QObject* parent = nullptr);

  /// Serves the menu at `path` on `bus`; false when the path is taken.
  bool serve(QDBusConnection bus, const QString& path);

  /// Shows `items` from now on, and tells the host the layout changed.
  void setItems(const std::vector<TrayMenuItem>& items);

  /// What the host is given: the layout under `parentId`, `depth` levels down
  /// (-1: all), with the properties named (none named: all). Empty when
  /// there is no such entry. The host has read the current revision then.
  std::optional<DBusMenuLayoutItem> layout(int parentId, int depth, const QStringList& names);
  bool contains(int id) const;
  /// The properties of entry `id` named in `names` (none named: all); empty for an unknown id.
  QVariantMap properties(int id, const QStringList& names) const;
  /// The host's event `eventId` on entry `id`; false for an unknown id.
  bool event(int id, const QString& eventId);
  /// The host is about to show entry `id`: whether it should read the layout again first.
  bool aboutToShow(int id);
  /// The layout's revision; the host is given it with the layout.
  uint revision() const { return revision_; }
  /// Every entry's number, depth first.
  QList<int> ids() const;

 signals:
  /// The host opened the menu or one of its submenus.
  void opened();
  /// The host closed every menu it had opened.
  void closed();
  /// The user chose an entry that does something.
  void clicked(const MenuCommand& command);

 private:
  DBusMenuAdaptor* adaptor_;
  MenuLayout layout_;
  uint revision_ = 1;
  uint revisionRead_ = 0;  ///< the revision the host last read
  std::set<int> open_;      ///< the menus the host says are open
};
