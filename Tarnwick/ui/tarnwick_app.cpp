#include "ui/tarnwick_app.h"

#include "ui/menu_bar_icon.h"
#include "ui/panel_placement.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

TarnwickApp::TarnwickApp(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), panel_(std::make_unique<PanelWindow>()), hostWatch_(bus) {
  menu_.addAction(QStringLiteral("Open"), this, &TarnwickApp::openPanel);
  menu_.addSeparator();
  menu_.addAction(QStringLiteral("Quit"), qApp, &QCoreApplication::quit);
  connect(&hostWatch_, &TrayHostWatch::ready, this, &TarnwickApp::createTrayItem);
}

TarnwickApp::~TarnwickApp() { delete tray_; }

void TarnwickApp::start() { hostWatch_.start(); }

QString TarnwickApp::toolTip(int count) {
  if (count <= 0) return QStringLiteral("Tarnwick — no dev ports");
  if (count == 1) return QStringLiteral("Tarnwick — 1 dev port");
  return QStringLiteral("Tarnwick — %1 dev ports").arg(count);
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
  panel_->adjustSize();
  panel_->openAt(panelPosition(pointer, lastClick_, panel_->size(), screens));
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
}

void TarnwickApp::refreshTrayItem() {
  if (!tray_) return;
  tray_->setIcon(MenuBarIcon::icon(MenuBarIcon::shape(), devCount_));
  tray_->setToolTip(toolTip(devCount_));
}
