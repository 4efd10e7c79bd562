#pragma once
// The panel's cards: a rounded fill with a hairline outline behind their rows.
#include <QWidget>

class RoundedFrame final : public QWidget {
 public:
  /// Corners of `radius` logical pixels.
  explicit RoundedFrame(qreal radius, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  qreal radius_;
};
