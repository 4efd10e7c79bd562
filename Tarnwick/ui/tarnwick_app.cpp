#include "ui/tarnwick_app.h"

#include "integrations/display_platform.h"
#include "integrations/l10n.h"
#include "ui/localized.h"
#include "ui/menu_bar_icon.h"
#include "ui/panel_placement.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QCursor>
#include <QScreen>
#include <utility>

namespace {

// An X client beside a named Wayland socket draws through XWayland.
PanelKind panelKindOfThisSession() {
  const bool throughXWayland = QGuiApplication::platformName() == QLatin1String("xcb") &&
                               !DisplayEnvironment::current().waylandDisplay.empty();
  return throughXWayland ? PanelKind::Managed : PanelKind::Popup;
}

}  // namespace

TarnwickApp::TarnwickApp(const QDBusConnection& bus, const L10n::Texts& texts, QObject* parent)
    : QObject(parent),
      texts_(texts),
      panel_(std::make_unique<PanelWindow>(panelKindOfThisSession())),
      bus_(bus),
      hostWatch_(bus) {
  menuItems_ = trayMenu(texts_, {});
  rebuildMenu();
  // The menu is not rebuilt under the user's pointer: a host would lose the item being chosen.
  menuOpenLimit_.setSingleShot(true);
  menuOpenLimit_.setInterval(kMenuOpenLimitMs);
  auto closed = [this] {
    menuOpen_ = false;
    menuOpenLimit_.stop();
    if (std::exchange(menuStale_, false)) rebuildMenu();
  };
  connect(&menu_, &QMenu::aboutToShow, this, [this] {
    menuOpen_ = true;
    menuOpenLimit_.start();
  });
  connect(&menu_, &QMenu::aboutToHide, this, closed);
  connect(&menuOpenLimit_, &QTimer::timeout, this, closed);
  // A tray host draws the tooltip over whatever is under the item: the open panel.
  connect(panel_.get(), &PanelWindow::shown, this, [this] {
    panelShown_ = true;
    refreshToolTip();
  });
  connect(panel_.get(), &PanelWindow::hidden, this, [this] {
    panelShown_ = false;
    refreshToolTip();
  });
  connect(&hostWatch_, &TrayHostWatch::ready, this, &TarnwickApp::createTrayItem);
  connect(&hostWatch_, &TrayHostWatch::noHost, this, &TarnwickApp::trayHostMissing);
}

TarnwickApp::~TarnwickApp() { delete tray_; }

void TarnwickApp::start() { hostWatch_.start(); }

QString TarnwickApp::toolTip(int count) const {
  if (count <= 0) return localized(texts_, "tray_tooltip_none");
  if (count == 1) return localized(texts_, "tray_tooltip_one");
  return QString::fromStdString(texts_.format("tray_tooltip_many", {int64_t{count}}));
}

void TarnwickApp::retranslate() { refreshToolTip(); }

void TarnwickApp::setMenu(std::vector<TrayMenuItem> items, MenuAction act) {
  menuAction_ = std::move(act);
  if (items == menuItems_) return;
  menuItems_ = std::move(items);
  if (menuOpen_)
    menuStale_ = true;
  else
    rebuildMenu();
}

void TarnwickApp::rebuildMenu() {
  // Submenus are children of the menu; clear() only drops their actions.
  for (QMenu* sub : menu_.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) sub->deleteLater();
  menu_.clear();
  using Kind = TrayMenuItem::Kind;
  for (const TrayMenuItem& item : menuItems_) {
    const QString text = QString::fromStdString(menuActionText(item.text, menuExport_));
    switch (item.kind) {
      case Kind::OpenPanel:
        menu_.addAction(text, this, &TarnwickApp::openPanel);
        menu_.addSeparator();
        break;
      case Kind::Port:
        menu_.addMenu(portMenu(item))->setText(text);
        break;
      case Kind::More:
        menu_.addAction(text, this, &TarnwickApp::openPanel);
        break;
      case Kind::Quit:
        menu_.addSeparator();
        menu_.addAction(text, qApp, &QCoreApplication::quit);
        break;
    }
  }
}

QMenu* TarnwickApp::portMenu(const TrayMenuItem& item) {
  auto* menu = new QMenu(&menu_);
  auto add = [this](QMenu* to, const std::string& text, const PortEntry& entry, RowAction action,
                    Confirmation confirmation) {
    to->addAction(QString::fromStdString(menuActionText(text, menuExport_)), this,
                  [this, entry, action, confirmation] {
                    if (menuAction_) menuAction_(entry, action, confirmation);
                  });
  };
  for (const std::vector<TrayAction>& group : item.groups) {
    if (!menu->isEmpty()) menu->addSeparator();
    for (const TrayAction& action : group) {
      if (!action.confirmText) {
        add(menu, action.text, item.entry, action.action, Confirmation::Ask);
        continue;
      }
      auto* confirm = new QMenu(menu);
      add(confirm, *action.confirmText, item.entry, action.action, Confirmation::Given);
      menu->addMenu(confirm)->setText(QString::fromStdString(menuActionText(action.text, menuExport_)));
    }
  }
  return menu;
}

void TarnwickApp::setDevCount(int count) {
  if (count == devCount_) return;
  devCount_ = count;
  refreshTrayItem();
}

void TarnwickApp::openPanel() { openPanelFrom(std::nullopt); }

void TarnwickApp::togglePanel() {
  if (panel_->isVisible())
    panel_->hide();
  else
    openPanelFrom(QCursor::pos());
}

void TarnwickApp::openPanelFrom(std::optional<QPoint> pointer) {
  if (panel_->isVisible()) return;
  // An embedded tray item knows its rectangle. A status-notifier item does
  // not, and Qt drops the click's position: the pointer stands for it.
  if (const QRect item = tray_ ? tray_->geometry() : QRect(); item.isValid() && !item.isEmpty())
    pointer = item.center();
  std::vector<ScreenArea> screens;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary) screens.push_back({primary->geometry(), primary->availableGeometry()});
  for (QScreen* screen : QGuiApplication::screens())
    if (screen != primary) screens.push_back({screen->geometry(), screen->availableGeometry()});
  if (pointer && onPanelStrip(*pointer, screens)) lastClick_ = pointer;
  panel_->openAt(panelAnchor(pointer, lastClick_, screens));
}

void TarnwickApp::createTrayItem() {
  if (tray_) return;
  // Qt exports the menu over D-Bus when a status-notifier host is there now,
  // and draws it itself otherwise; the two read a label's marks differently.
  const bool exported = bus_.isConnected() && bus_.interface()->isServiceRegistered(
                                                  QStringLiteral("org.kde.StatusNotifierWatcher"));
  const MenuExport how = exported ? MenuExport::DBusMenu : MenuExport::Drawn;
  if (how != std::exchange(menuExport_, how)) rebuildMenu();
  tray_ = new QSystemTrayIcon;
  tray_->setContextMenu(&menu_);
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) togglePanel();
  });
  refreshTrayItem();
  tray_->show();
  // Made after the wait for a host ran out, the item shows only where an
  // older kind of tray is there after all.
  if (QSystemTrayIcon::isSystemTrayAvailable()) emit trayItemShown();
}

void TarnwickApp::refreshTrayItem() {
  if (!tray_) return;
  tray_->setIcon(MenuBarIcon::icon(MenuBarIcon::shape(), devCount_));
  refreshToolTip();
}

void TarnwickApp::refreshToolTip() {
  if (!tray_) return;
  const QString tip = panelShown_ ? QString() : toolTip(devCount_);
  // Each set is a signal to the tray host, even when nothing changed.
  if (tray_->toolTip() != tip) tray_->setToolTip(tip);
}
