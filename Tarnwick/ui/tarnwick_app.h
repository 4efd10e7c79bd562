#pragma once
// The application: a tray item showing the dev-port count, and the panel that
// opens from it. There is no main window; the application lives in the tray
// until it is asked to quit.
#include "ui/panel_window.h"
#include "ui/tray_host_watch.h"

#include <QDBusConnection>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

class TarnwickApp : public QObject {
  Q_OBJECT

 public:
  /// `bus` is the session bus (not connected when there is none).
  explicit TarnwickApp(const QDBusConnection& bus, QObject* parent = nullptr);
  ~TarnwickApp() override;

  PanelWindow& panel() { return *panel_; }

  /// Creates the tray item once a tray can show it.
  void start();

  /// The tooltip for `count` dev ports.
  static QString toolTip(int count);

 public slots:
  /// The number drawn on the item; nothing is drawn for 0 or less.
  void setDevCount(int count);
  /// Opens the panel where the item was last clicked, else at the end of the
  /// edge a panel reserves (the menu's "Open" and a second start ask for this).
  void openPanel();
  /// A click on the item: opens the panel, or closes it when it is open.
  void togglePanel();

 private:
  /// `pointer` is where an activation happened; none for the menu or a second start.
  void openPanelFrom(std::optional<QPoint> pointer);
  void createTrayItem();
  void refreshTrayItem();

  std::unique_ptr<PanelWindow> panel_;
  QMenu menu_;
  TrayHostWatch hostWatch_;
  QSystemTrayIcon* tray_ = nullptr;
  int devCount_ = 0;
  std::optional<QPoint> lastClick_;  ///< the last activation on a panel strip
};
