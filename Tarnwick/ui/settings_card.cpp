#include "ui/settings_card.h"

#include "integrations/l10n.h"
#include "ui/localized.h"
#include "ui/panel_state.h"
#include "ui/rounded_frame.h"
#include "ui/segmented_control.h"
#include "ui/theme.h"
#include "ui/toggle_switch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace {

const std::array<const char*, 3> kLanguages = {"system", "tr", "en"};
const std::array<double, 4> kIntervals = {2, 3, 5, 10};
constexpr int kHeightStep = 20;

}  // namespace

SettingsCard::SettingsCard(PanelState* model, const L10n::Texts& texts, QWidget* parent)
    : QWidget(parent), model_(model), texts_(texts) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(12, 10, 12, 10);
  auto* card = new RoundedFrame(10, this);
  outer->addWidget(card);
  auto* column = new QVBoxLayout(card);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  language_ = new SegmentedControl(190, card);
  interval_ = new SegmentedControl(170, card);

  auto* heightControl = new QWidget(card);
  auto* heightLayout = new QHBoxLayout(heightControl);
  heightLayout->setContentsMargins(0, 0, 0, 0);
  heightLayout->setSpacing(8);
  heightValue_ = new QLabel(heightControl);
  // Digits of equal width, so the value does not jitter while the slider moves.
  heightValue_->setFont(Theme::monospaced(10));
  heightValue_->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::secondary())));
  height_ = new QSlider(Qt::Horizontal, heightControl);
  height_->setFixedWidth(120);
  const SettingRange& heights = PanelSettings::kPanelMaxHeightRange;
  height_->setRange(static_cast<int>(heights.lowest) / kHeightStep, static_cast<int>(heights.highest) / kHeightStep);
  height_->setFocusPolicy(Qt::NoFocus);
  heightLayout->addWidget(heightValue_);
  heightLayout->addWidget(height_);

  confirm_ = new ToggleSwitch(card);
  login_ = new ToggleSwitch(card);
  restore_ = new QPushButton(card);
  restore_->setFont(Theme::system(11));
  restore_->setFocusPolicy(Qt::NoFocus);
  restore_->setStyleSheet(QStringLiteral(
                              "QPushButton { color: %1; background: rgba(255, 255, 255, 30);"
                              " border: none; border-radius: 5px; padding: 2px 9px; }"
                              "QPushButton:pressed { background: rgba(255, 255, 255, 55); }")
                              .arg(Theme::css(Theme::primary())));

  QWidget* controls[] = {language_, interval_, heightControl, confirm_, login_};
  for (int i = 0; i < 5; ++i) {
    if (i > 0) column->addWidget(divider());
    column->addWidget(settingRow(i, controls[i]));
  }
  hiddenDivider_ = divider();
  column->addWidget(hiddenDivider_);
  hiddenRow_ = settingRow(5, restore_);
  column->addWidget(hiddenRow_);

  connectControls();
  sync();
}

QWidget* SettingsCard::settingRow(int index, QWidget* control) {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(12, 8, 12, 8);
  layout->setSpacing(8);
  titles_[index] = new QLabel(row);
  titles_[index]->setFont(Theme::callout());
  layout->addWidget(titles_[index], 0, Qt::AlignVCenter);
  layout->addStretch(1);
  layout->addWidget(control, 0, Qt::AlignVCenter);
  return row;
}

QWidget* SettingsCard::divider() {
  auto* holder = new QWidget(this);
  auto* layout = new QHBoxLayout(holder);
  layout->setContentsMargins(12, 0, 0, 0);
  auto* line = new QWidget(holder);
  line->setFixedHeight(1);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, QColor(255, 255, 255, 22));
  line->setPalette(palette);
  layout->addWidget(line);
  return holder;
}

void SettingsCard::connectControls() {
  connect(language_, &SegmentedControl::chosen, this, [this](int index) {
    model_->setAppLanguage(QString::fromLatin1(kLanguages[static_cast<size_t>(index)]));
  });
  connect(interval_, &SegmentedControl::chosen, this, [this](int index) {
    double seconds = kIntervals[static_cast<size_t>(index)];
    // Choosing the interval in force again must not restart the loop.
    if (seconds != model_->refreshInterval()) model_->setRefreshInterval(seconds);
  });
  connect(height_, &QSlider::valueChanged, this,
          [this](int steps) { model_->setPanelMaxHeight(steps * kHeightStep); });
  connect(confirm_, &QAbstractButton::clicked, this,
          [this](bool on) { model_->setConfirmBeforeKill(on); });
  connect(login_, &QAbstractButton::clicked, this,
          [this](bool on) { model_->setStartAtLogin(on); });
  connect(restore_, &QPushButton::clicked, this, [this] { model_->setHiddenPortsRaw(""); });
}

void SettingsCard::sync() {
  const char* titleKeys[] = {"language", "refresh_interval", "panel_height",
                             "confirm_before_kill", "start_at_login"};
  for (int i = 0; i < 5; ++i) titles_[i]->setText(localized(texts_, titleKeys[i]));

  language_->setOptions({localized(texts_, "lang_system"), QStringLiteral("T\u00FCrk\u00E7e"),
                         QStringLiteral("English")});
  auto language = std::find(kLanguages.begin(), kLanguages.end(), model_->appLanguage());
  language_->setCurrent(language == kLanguages.end()
                            ? -1
                            : static_cast<int>(language - kLanguages.begin()));

  interval_->setOptions({localized(texts_, "interval_2"), localized(texts_, "interval_3"), localized(texts_, "interval_5"), localized(texts_, "interval_10")});
  auto interval = std::find(kIntervals.begin(), kIntervals.end(), model_->refreshInterval());
  interval_->setCurrent(interval == kIntervals.end()
                            ? -1
                            : static_cast<int>(interval - kIntervals.begin()));

  double height = model_->panelMaxHeight();
  heightValue_->setText(QString::number(static_cast<long long>(std::trunc(height))) +
                        QStringLiteral(" pt"));
  {
    QSignalBlocker quiet(height_);
    height_->setValue(static_cast<int>(std::lround(height / kHeightStep)));
  }

  confirm_->setChecked(model_->confirmBeforeKill());
  login_->setChecked(model_->startAtLogin());

  size_t hidden = model_->hiddenPorts().size();
  hiddenDivider_->setVisible(hidden > 0);
  hiddenRow_->setVisible(hidden > 0);
  titles_[5]->setText(QString::fromStdString(
      texts_.format("hidden_ports", {static_cast<int64_t>(hidden)})));
  restore_->setText(localized(texts_, "restore"));
}
