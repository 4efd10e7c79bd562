#include "ui/toggle_switch.h"

#include "ui/theme.h"

#include <QPainter>

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
  setCheckable(true);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  setFixedSize(sizeHint());
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setBrush(isChecked() ? Theme::accent() : QColor(255, 255, 255, 45));
  painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
  const qreal knob = track.height() - 4;
  const qreal x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
  painter.setBrush(QColor(245, 245, 245));
  painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
}
