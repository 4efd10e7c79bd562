#include "ui/row_parts.h"

#include "ui/theme.h"

#include <QFontMetricsF>
#include <QPainter>

HealthDot::HealthDot(QWidget* parent) : QWidget(parent) { setFixedSize(6, 6); }

void HealthDot::setColor(const QColor& color) {
  if (color_ == color) return;
  color_ = color;
  update();
}

void HealthDot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(color_);
  painter.drawEllipse(QRectF(rect()));
}

PortNumber::PortNumber(QWidget* parent) : QWidget(parent) {
  setFont(Theme::monospaced(15, QFont::Bold));
  // The number keeps its width when the title line runs short of space.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PortNumber::setPort(int64_t port) {
  QString number = QString::number(port);
  if (number_ == number) return;
  number_ = number;
  updateGeometry();
  update();
}

void PortNumber::setUnderlined(bool underlined) {
  if (underlined_ == underlined) return;
  underlined_ = underlined;
  update();
}

QSize PortNumber::sizeHint() const {
  QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(":" + number_) + 1, metrics.height()};
}

void PortNumber::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QFont f = font();
  f.setUnderline(underlined_);
  painter.setFont(f);
  QFontMetrics metrics(f);
  int baseline = (height() - metrics.height()) / 2 + metrics.ascent();
  painter.setPen(Theme::tertiary());
  painter.drawText(0, baseline, ":");
  painter.setPen(Theme::primary());
  painter.drawText(metrics.horizontalAdvance(':'), baseline, number_);
}

ElidedText::ElidedText(QWidget* parent) : QWidget(parent), color_(Theme::secondary()) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ElidedText::setText(const QString& text) {
  if (text_ == text) return;
  text_ = text;
  updateGeometry();
  update();
}

void ElidedText::setColor(const QColor& color) {
  if (color_ == color) return;
  color_ = color;
  update();
}

// Underscores sit below the descent line in small sizes of common fonts: keep
// two pixels below it so "tw_listener" does not read as "tw listener".
static int lineHeight(const QFont& font) { return QFontMetrics(font).height() + 2; }

QSize ElidedText::sizeHint() const {
  return {QFontMetrics(font()).horizontalAdvance(text_), lineHeight(font())};
}

QSize ElidedText::minimumSizeHint() const { return {0, lineHeight(font())}; }

void ElidedText::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(color_);
  QFontMetrics metrics(font());
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(text_, Qt::ElideRight, width()));
}

ShrinkingText::ShrinkingText(QWidget* parent) : QWidget(parent), color_(Theme::tertiary()) {}

void ShrinkingText::setText(const QString& text) {
  if (text_ == text) return;
  text_ = text;
  update();
}

void ShrinkingText::setColor(const QColor& color) {
  if (color_ == color) return;
  color_ = color;
  update();
}

void ShrinkingText::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(color_);
  QFont f = font();
  const qreal full = f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF();
  qreal width = QFontMetricsF(f).horizontalAdvance(text_);
  if (width > this->width() && width > 0) {
    qreal size = std::max(full * 0.8, full * this->width() / width);
    if (f.pixelSize() > 0)
      f.setPixelSize(static_cast<int>(size));
    else
      f.setPointSizeF(size);
  }
  painter.setFont(f);
  QString shown = QFontMetrics(f).elidedText(text_, Qt::ElideRight, this->width());
  painter.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, shown);
}
