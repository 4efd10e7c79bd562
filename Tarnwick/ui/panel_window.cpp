#include "ui/panel_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QColor panelBackground() { return QColor::fromRgbF(0.105f, 0.098f, 0.066f); }

// The panel is dark whatever the desktop's theme, and the content inherits it.
QPalette darkPalette() {
  QPalette palette;
  const QColor text(0xf2, 0xf2, 0xf2);
  palette.setColor(QPalette::Window, panelBackground());
  palette.setColor(QPalette::Base, QColor::fromRgbF(0.152f, 0.142f, 0.098f));
  palette.setColor(QPalette::AlternateBase, QColor::fromRgbF(0.152f, 0.142f, 0.098f));
  palette.setColor(QPalette::Button, QColor::fromRgbF(0.152f, 0.142f, 0.098f));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText})
    palette.setColor(role, text);
  palette.setColor(QPalette::PlaceholderText, QColor(0xff, 0xff, 0xff, 0x80));
  palette.setColor(QPalette::ToolTipBase, panelBackground());
  palette.setColor(QPalette::ToolTipText, text);
  return palette;
}

}  // namespace

PanelWindow::PanelWindow(QWidget* parent)
    // A popup grabs the pointer while open: a click anywhere else, the tray
    // item included, closes it and reaches nothing else, which is how a
    // menu-bar panel behaves. It never shows in the taskbar.
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
      layout_(new QVBoxLayout(this)) {
  // Without this, the click that closes the panel on our own tray item would
  // be replayed to the item and open the panel again at once.
  setAttribute(Qt::WA_NoMouseReplay);
  setWindowTitle(QStringLiteral("Tarnwick"));
  setPalette(darkPalette());
  setAutoFillBackground(true);
  setFixedWidth(kWidth);
  setFocusPolicy(Qt::StrongFocus);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  layout_->setSizeConstraint(QLayout::SetFixedSize);
  setContent(makePlaceholderContent());
}

void PanelWindow::setContent(QWidget* content) {
  if (content_) {
    layout_->removeWidget(content_);
    content_->deleteLater();
  }
  content_ = content;
  if (!content) return;
  content->setParent(this);
  content->setFixedWidth(kWidth);
  layout_->addWidget(content);
  if (isVisible()) adjustSize();
}

void PanelWindow::openAt(const QPoint& topLeft) {
  adjustSize();
  move(topLeft);
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
  if (!event->spontaneous()) emit hidden();
}

QWidget* makePlaceholderContent() {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(16, 14, 16, 14);
  auto* title = new QLabel(QStringLiteral("Tarnwick"), content);
  QFont font = title->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.2);
  title->setFont(font);
  layout->addWidget(title);
  return content;
}
