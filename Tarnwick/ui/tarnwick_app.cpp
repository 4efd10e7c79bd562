#include "ui/tarnwick_app.h"

#include "integrations/l10n.h"
#include "ui/localized.h"
#include "ui/menu_bar_icon.h"
#include "ui/panel_placement.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QScreen>

TarnwickApp::TarnwickApp(const QDBusConnection& bus, const L10n::Texts& texts, QObject* parent)
    : QObject(parent), texts_(texts), panel_(std::make_unique<PanelWindow>()), hostWatch_(bus) {
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
  qApp->installEventFilter(this);
}

TarnwickApp::~TarnwickApp() {
  qApp->removeEventFilter(this);
  delete tray_;
}

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
  refreshToolTip();
}

void TarnwickApp::refreshToolTip() {
  if (!tray_) return;
  const QString tip = panelShown_ ? QString() : toolTip(devCount_);
  // Each set is a signal to the tray host, even when nothing changed.
  if (tray_->toolTip() != tip) tray_->setToolTip(tip);
}
