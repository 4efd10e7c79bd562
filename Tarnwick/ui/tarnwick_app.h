#pragma once
// The application: a tray item showing the dev-port count, and the panel that
// opens from it. There is no main window; the application lives in the tray
// until it is asked to quit.
#include "ui/dbus_menu_exporter.h"
#include "ui/panel_controller.h"
#include "ui/panel_window.h"
#include "ui/status_notifier_item.h"
#include "ui/tray_host_watch.h"
#include "ui/tray_menu.h"

#include <QDBusConnection>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace L10n {
class Texts;
}

class TarnwickApp : public QObject {
  Q_OBJECT

 public:
  /// `bus` is the session bus (not connected when there is none); `texts`
  /// (the tooltip's and the menu's words) must outlive the application.
  TarnwickApp(const QDBusConnection& bus, const L10n::Texts& texts, QObject* parent = nullptr);
  ~TarnwickApp() override;

  PanelWindow& panel() { return *panel_; }

  /// Creates the tray item once a tray can show it.
  void start();

  /// The tooltip for `count` dev ports.
  QString toolTip(int count) const;

  /// A port's action chosen in the item's menu.
  using MenuAction = std::function<void(const PortEntry&, RowAction, Confirmation)>;
  /// What the item's menu shows (trayMenu()), and where its ports' actions go.
  /// A menu that is open is left as it is and rebuilt once it closes.
  void setMenu(std::vector<TrayMenuItem> items, MenuAction act);
  /// A host that opens the menu but never says it closed: it counts as closed after this.
  static constexpr int kMenuOpenLimitMs = 30000;

 public slots:
  /// The number drawn on the item; nothing is drawn for 0 or less.
  void setDevCount(int count);
  /// Opens the panel where the item was last clicked, else at the end of the
  /// edge a panel reserves (the menu's "Open" and a second start ask for this).
  void openPanel();
  /// A click on the item where the pointer is: opens the panel, or closes it when it is open.
  void togglePanel();
  /// Looks the tooltip up again (after a change of language).
  void retranslate();

 signals:
  /// No tray host came within TrayHostWatch::kNoHostNotice of start.
  void trayHostMissing();
  /// The item is made and a tray is there to show it (it may have come after
  /// trayHostMissing()).
  void trayItemShown();

 private:
  /// `pointer` is where an activation happened; none for the menu or a second start.
  void openPanelFrom(std::optional<QPoint> pointer);
  void togglePanelFrom(QPoint pointer);
  void createTrayItem();
  /// The item served by this process itself, for a status-notifier host; false when the bus refused it.
  bool createStatusNotifierItem();
  void refreshTrayItem();
  void refreshToolTip();
  void rebuildMenu();
  void menuOpened();
  void menuClosed();
  void runMenuCommand(const MenuCommand& command);
  QMenu* portMenu(const TrayMenuItem& item);

  const L10n::Texts& texts_;
  std::unique_ptr<PanelWindow> panel_;
  QDBusConnection bus_;
  QMenu menu_;
  std::vector<TrayMenuItem> menuItems_;
  MenuAction menuAction_;
  bool menuOpen_ = false;
  bool menuStale_ = false;  ///< items came while the menu was open
  QTimer menuOpenLimit_;
  TrayHostWatch hostWatch_;
  QSystemTrayIcon* tray_ = nullptr;  ///< where no status-notifier host is: an older tray draws the menu
  std::unique_ptr<DBusMenuExporter> exportedMenu_;  ///< with item_
  std::unique_ptr<StatusNotifierItem> item_;
  int devCount_ = 0;
  std::optional<QPoint> lastClick_;  ///< the last activation on a panel strip
  bool panelShown_ = false;
};
