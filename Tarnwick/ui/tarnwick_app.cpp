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
  connect(&menu_, &QMenu::aboutToShow, this, &TarnwickApp::menuOpened);
  connect(&menu_, &QMenu::aboutToHide, this, &TarnwickApp::menuClosed);
  connect(&menuOpenLimit_, &QTimer::timeout, this, &TarnwickApp::menuClosed);
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

void TarnwickApp::menuOpened() {
  menuOpen_ = true;
  menuOpenLimit_.start();
}

void TarnwickApp::menuClosed() {
  menuOpen_ = false;
  menuOpenLimit_.stop();
  if (std::exchange(menuStale_, false)) rebuildMenu();
}

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
  if (exportedMenu_) {
    exportedMenu_->setItems(menuItems_);
    return;
  }
  // Submenus are children of the menu; clear() only drops their actions.
  for (QMenu* sub : menu_.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) sub->deleteLater();
  menu_.clear();
  using Kind = TrayMenuItem::Kind;
  for (const TrayMenuItem& item : menuItems_) {
    const QString text = QString::fromStdString(menuActionText(item.text, MenuExport::Drawn));
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
    to->addAction(QString::fromStdString(menuActionText(text, MenuExport::Drawn)), this,
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
      menu->addMenu(confirm)->setText(QString::fromStdString(menuActionText(action.text, MenuExport::Drawn)));
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

void TarnwickApp::togglePanel() { togglePanelFrom(QCursor::pos()); }

void TarnwickApp::togglePanelFrom(QPoint pointer) {
  if (panel_->isVisible())
    panel_->hide();
  else
    openPanelFrom(pointer);
}

void TarnwickApp::openPanelFrom(std::optional<QPoint> pointer) {
  if (panel_->isVisible()) return;
  // An embedded tray item knows its rectangle; a status-notifier item knows
  // where the host said the click was, or the pointer stands for it.
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
  if (tray_ || item_) return;
  // A status-notifier host is served by our own item: Qt's drops the click's
  // position and cannot tell when the host's menu is open.
  if (bus_.isConnected() &&
      bus_.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value() &&
      createStatusNotifierItem())
    return;
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

bool TarnwickApp::createStatusNotifierItem() {
  const QString menuPath = QStringLiteral("/MenuBar");
  auto menu = std::make_unique<DBusMenuExporter>();
  auto item = std::make_unique<StatusNotifierItem>(bus_, menuPath);
  if (!menu->serve(bus_, menuPath)) return false;
  if (!item->start()) {
    bus_.unregisterObject(menuPath);
    return false;
  }
  exportedMenu_ = std::move(menu);
  item_ = std::move(item);
  connect(exportedMenu_.get(), &DBusMenuExporter::opened, this, &TarnwickApp::menuOpened);
  connect(exportedMenu_.get(), &DBusMenuExporter::closed, this, &TarnwickApp::menuClosed);
  connect(exportedMenu_.get(), &DBusMenuExporter::clicked, this, &TarnwickApp::runMenuCommand);
  connect(item_.get(), &StatusNotifierItem::activated, this,
          [this](QPoint at) { togglePanelFrom(activationPoint(at, QCursor::pos())); });
  connect(item_.get(), &StatusNotifierItem::registered, this, &TarnwickApp::trayItemShown);
  // The drawn menu's state does not carry over.
  menuOpen_ = menuStale_ = false;
  menuOpenLimit_.stop();
  rebuildMenu();
  refreshTrayItem();
  return true;
}

void TarnwickApp::runMenuCommand(const MenuCommand& command) {
  using Kind = MenuCommand::Kind;
  switch (command.kind) {
    case Kind::OpenPanel:
      openPanel();
      break;
    case Kind::Quit:
      QCoreApplication::quit();
      break;
    case Kind::PortAction:
      if (menuAction_) menuAction_(command.entry, command.action, command.confirmation);
      break;
    case Kind::None:
      break;
  }
}

void TarnwickApp::refreshTrayItem() {
  const QIcon icon = tray_ || item_ ? MenuBarIcon::icon(MenuBarIcon::shape(), devCount_) : QIcon();
  if (tray_) tray_->setIcon(icon);
  if (item_) item_->setIcon(icon);
  refreshToolTip();
}

void TarnwickApp::refreshToolTip() {
  const QString tip = panelShown_ ? QString() : toolTip(devCount_);
  // Each set is a signal to the tray host, even when nothing changed.
  if (tray_ && tray_->toolTip() != tip) tray_->setToolTip(tip);
  if (item_) item_->setToolTip(tip);
}
