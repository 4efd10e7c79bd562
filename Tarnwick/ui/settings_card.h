#pragma once
// The settings card: language, refresh interval, panel height, confirmation
// before kills, start at login and, while any port is hidden, the hidden
// ports with their restore button. Each control writes its setting at once.
#include <QWidget>

namespace L10n {
class Texts;
}

class PanelState;
class QLabel;
class QPushButton;
class QSlider;
class SegmentedControl;
class ToggleSwitch;

class SettingsCard final : public QWidget {
  Q_OBJECT

 public:
  SettingsCard(PanelState* model, const L10n::Texts& texts, QWidget* parent = nullptr);
  /// Shows the model's settings and looks every text up again.
  void sync();

 private:
  QWidget* settingRow(int index, QWidget* control);
  QWidget* divider();
  void connectControls();

  PanelState* model_;
  const L10n::Texts& texts_;
  QLabel* titles_[6] = {};
  SegmentedControl* language_;
  SegmentedControl* interval_;
  QSlider* height_;
  QLabel* heightValue_;
  ToggleSwitch* confirm_;
  ToggleSwitch* login_;
  QPushButton* restore_;
  QWidget* hiddenDivider_ = nullptr;
  QWidget* hiddenRow_ = nullptr;
};
