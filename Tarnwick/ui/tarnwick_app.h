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

class QAction;
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

 public slots:
  /// The number drawn on the item; nothing is drawn for 0 or less.
  void setDevCount(int count);
  /// Opens the panel where the item was last clicked, else at the end of the
  /// edge a panel reserves (the menu's "Open" and a second start ask for this).
  void openPanel();
  /// A click on the item: opens the panel, or closes it when it is open.
  void togglePanel();
  /// Looks the tooltip and the menu up again (after a change of language).
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
  void createTrayItem();
  void refreshTrayItem();
  void refreshToolTip();

  const L10n::Texts& texts_;
  std::unique_ptr<PanelWindow> panel_;
  QMenu menu_;
  QAction* open_ = nullptr;
  QAction* quit_ = nullptr;
  TrayHostWatch hostWatch_;
  QSystemTrayIcon* tray_ = nullptr;
  int devCount_ = 0;
  std::optional<QPoint> lastClick_;  ///< the last activation on a panel strip
  bool panelShown_ = false;
};
