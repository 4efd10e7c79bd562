#include "ui/tarnwick_app.h"

#include "ui/menu_bar_icon.h"
#include "ui/panel_placement.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QScreen>

TarnwickApp::TarnwickApp(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), panel_(std::make_unique<PanelWindow>()), hostWatch_(bus) {
  menu_.addAction(QStringLiteral("Open"), this, &TarnwickApp::openPanel);
  menu_.addSeparator();
  menu_.addAction(QStringLiteral("Quit"), qApp, &QCoreApplication::quit);
  connect(&hostWatch_, &TrayHostWatch::ready, this, &TarnwickApp::createTrayItem);
  qApp->installEventFilter(this);
}

TarnwickApp::~TarnwickApp() {
  qApp->removeEventFilter(this);
  delete tray_;
}

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

void TarnwickApp::openPanel() {
  if (panel_->isVisible()) return;
  // Over D-Bus the item has no geometry and Qt drops the click's position; the
  // cursor is where the click was.
  QRect item = tray_ ? tray_->geometry() : QRect();
  if (!item.isValid() || item.isEmpty()) item = QRect(QCursor::pos(), QSize(1, 1));
  QScreen* screen = QGuiApplication::screenAt(item.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  panel_->adjustSize();
  const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), panel_->size());
  panel_->openAt(panelTopLeft(item, panel_->size(), available));
}

void TarnwickApp::togglePanel() {
  if (panel_->isVisible())
    panel_->hide();
  else
    openPanel();
}

bool TarnwickApp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) refreshTrayItem();
  return QObject::eventFilter(watched, event);
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
  const QColor tint = MenuBarIcon::tintFor(QGuiApplication::palette());
  tray_->setIcon(MenuBarIcon::icon(MenuBarIcon::shape(), devCount_, tint));
  tray_->setToolTip(toolTip(devCount_));
}
