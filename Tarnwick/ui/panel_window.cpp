#include "ui/panel_window.h"

#include "ui/theme.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

Qt::WindowFlags flagsOf(PanelKind kind) {
  // A popup grabs the pointer while open: a click anywhere else, the tray
  // item included, closes it and reaches nothing else, which is how a
  // menu-bar panel behaves. Neither kind shows in the taskbar: a tool window
  // is one the window manager leaves out of it.
  const Qt::WindowFlags frameless = Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint;
  return kind == PanelKind::Popup ? Qt::Popup | frameless : Qt::Tool | Qt::WindowStaysOnTopHint | frameless;
}

}  // namespace

PanelWindow::PanelWindow(PanelKind kind, QWidget* parent)
    : QWidget(parent, flagsOf(kind)), kind_(kind), layout_(new QVBoxLayout(this)) {
  // Without this, the click that closes the panel on our own tray item would
  // be replayed to the item and open the panel again at once.
  setAttribute(Qt::WA_NoMouseReplay);
  setWindowTitle(QStringLiteral("Tarnwick"));
  setPalette(Theme::palette());
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  layout_->setSizeConstraint(QLayout::SetFixedSize);
}

void PanelWindow::setContent(QWidget* content) {
  if (content_) {
    layout_->removeWidget(content_);
    content_->deleteLater();
  }
  content_ = content;
  if (!content) return;
  content->setParent(this);
  layout_->addWidget(content);
  if (isVisible()) adjustSize();
}

void PanelWindow::openAt(const PanelAnchor& anchor) {
  anchor_ = anchor;
  adjustSize();
  move(panelTopLeft(anchor, size()));
  show();
  raise();
  activateWindow();
  if (content_) content_->setFocus(Qt::PopupFocusReason);
}

void PanelWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  hide();
}

void PanelWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) emit shown();
}

void PanelWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;
  anchor_.reset();
  emit hidden();
}

void PanelWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The rows of a scan arrive after the panel opened with what it had: kept
  // where it opened, a panel above a bottom strip would grow down over it.
  if (anchor_) move(panelTopLeft(*anchor_, size()));
}

void PanelWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Without a grab, a click elsewhere reaches this window only as the loss of the focus.
  if (kind_ == PanelKind::Managed && event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
    hide();
}
