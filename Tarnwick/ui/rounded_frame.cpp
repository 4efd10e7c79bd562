#include "ui/rounded_frame.h"

#include "ui/theme.h"

#include <QPainter>

RoundedFrame::RoundedFrame(qreal radius, QWidget* parent) : QWidget(parent), radius_(radius) {}

void RoundedFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Theme::card());
  painter.setPen(QPen(Theme::border(), 0.5));
  // Inset by half the pen, so the outline is not clipped at the widget's edge.
  painter.drawRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), radius_, radius_);
}
