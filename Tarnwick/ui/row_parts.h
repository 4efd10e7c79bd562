#pragma once
// Small painted pieces of a port row: the health dot, the port number, a line
// of text cut at the end, and the statistics that shrink before they are cut.
#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

/// A filled 6 × 6 circle.
class HealthDot final : public QWidget {
 public:
  explicit HealthDot(QWidget* parent = nullptr);
  void setColor(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
};

/// ":" in the tertiary colour, then the port in bold, both monospaced 15 px;
/// underlined on request. Mouse presses go on to the row.
class PortNumber final : public QWidget {
 public:
  explicit PortNumber(QWidget* parent = nullptr);
  void setPort(int64_t port);
  void setUnderlined(bool underlined);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString number_;
  bool underlined_ = false;
};

/// One line of text in one colour, cut with an ellipsis when too long.
class ElidedText final : public QWidget {
 public:
  explicit ElidedText(QWidget* parent = nullptr);
  void setText(const QString& text);
  const QString& text() const { return text_; }
  void setColor(const QColor& color);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  QColor color_;
};

/// Right-aligned text that shrinks to 80 % of its font size before it is cut.
class ShrinkingText final : public QWidget {
 public:
  explicit ShrinkingText(QWidget* parent = nullptr);
  void setText(const QString& text);
  const QString& text() const { return text_; }
  void setColor(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  QColor color_;
};
