#pragma once
// An on/off switch: a capsule track with a round knob, accent-filled when on.
#include <QAbstractButton>

class ToggleSwitch final : public QAbstractButton {
 public:
  explicit ToggleSwitch(QWidget* parent = nullptr);
  QSize sizeHint() const override { return {32, 18}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
};
