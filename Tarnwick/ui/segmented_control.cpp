#include "ui/segmented_control.h"

#include "ui/theme.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>

SegmentedControl::SegmentedControl(int width, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)) {
  setFixedWidth(width);
  setFixedHeight(22);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  group_->setExclusive(true);
  connect(group_, &QButtonGroup::idClicked, this, &SegmentedControl::chosen);
  setStyleSheet(QStringLiteral(
                    "QToolButton { color: %1; background: transparent; border: none;"
                    " border-radius: 4px; padding: 0 2px; }"
                    "QToolButton:checked { color: white; background: rgba(255, 255, 255, 46); }"
                    "QToolButton:hover:!checked { background: rgba(255, 255, 255, 14); }")
                    .arg(Theme::css(Theme::primary())));
}

void SegmentedControl::setOptions(const QStringList& texts) {
  auto* layout = static_cast<QHBoxLayout*>(this->layout());
  for (int i = 0; i < texts.size(); ++i) {
    QToolButton* button = segment(i);
    if (!button) {
      button = new QToolButton(this);
      button->setCheckable(true);
      button->setFocusPolicy(Qt::NoFocus);
      button->setFont(Theme::system(11));
      button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
      button->setToolButtonStyle(Qt::ToolButtonTextOnly);
      group_->addButton(button, i);
      layout->addWidget(button, 1);
    }
    button->setText(texts[i]);
  }
}

void SegmentedControl::setCurrent(int index) {
  if (QToolButton* button = segment(index)) {
    button->setChecked(true);
    return;
  }
  // An exclusive group keeps one button checked; lift that to show none.
  group_->setExclusive(false);
  for (QAbstractButton* button : group_->buttons()) button->setChecked(false);
  group_->setExclusive(true);
}

int SegmentedControl::current() const { return group_->checkedId(); }

QToolButton* SegmentedControl::segment(int index) const {
  return static_cast<QToolButton*>(group_->button(index));
}

void SegmentedControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 18));
  painter.drawRoundedRect(QRectF(rect()), 6, 6);
}
