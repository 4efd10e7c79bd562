#include "ui/tarnwick_app.h"

#include "integrations/display_platform.h"
#include "integrations/l10n.h"
#include "ui/localized.h"
#include "ui/menu_bar_icon.h"
#include "ui/panel_placement.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

namespace {

// An X client beside a named Wayland socket draws through XWayland.
PanelKind panelKindOfThisSession() {
  const bool throughXWayland = QGuiApplication::platformName() == QLatin1String("xcb") &&
                               !DisplayEnvironment::current().waylandDisplay.empty();
  return throughXWayland ? PanelKind::Managed : PanelKind::Popup;
}

}  // namespace

TarnwickApp::TarnwickApp(const QDBusConnection& bus, const L10n::Texts& texts, QObject* parent)
    : QObject(parent), texts_(texts), panel_(std::make_unique<PanelWindow>(panelKindOfThisSession())), hostWatch_(bus) {
  open_ = menu_.addAction(localized(texts_, "tray_open"), this, &TarnwickApp::openPanel);
  menu_.addSeparator();
  quit_ = menu_.addAction(localized(texts_, "tray_quit"), qApp, &QCoreApplication::quit);
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

void TarnwickApp::retranslate() {
  open_->setText(localized(texts_, "tray_open"));
  quit_->setText(localized(texts_, "tray_quit"));
  refreshToolTip();
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
