#include "ui/panel_header.h"

#include "integrations/l10n.h"
#include "ui/localized.h"
#include "ui/panel_state.h"
#include "ui/rounded_frame.h"
#include "ui/symbol_icon.h"
#include "ui/theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kButtonIcon = 14;
constexpr int kSearchIcon = 12;

QString exposedStyle(bool on) {
  return QStringLiteral("QPushButton { color: %1; background: %2; border: none;"
                        " border-radius: 8px; padding: 1px %3px; text-align: left; }")
      .arg(Theme::css(Theme::orange()),
           on ? Theme::css(Theme::faded(Theme::orange(), 0.15)) : QStringLiteral("transparent"))
      .arg(on ? 6 : 0);
}

}  // namespace

QWidget* makeDivider(QWidget* parent) {
  auto* line = new QWidget(parent);
  line->setFixedHeight(1);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, QColor(255, 255, 255, 22));
  line->setPalette(palette);
  return line;
}

PanelHeader::PanelHeader(PanelState* model, const L10n::Texts& texts, QWidget* parent)
    : QWidget(parent), model_(model), texts_(texts) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(titleRow());
  column->addWidget(makeDivider(this));
  column->addWidget(summaryRow());
  column->addWidget(searchRow());
}

QToolButton* PanelHeader::iconButton(QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setIconSize(QSize(kButtonIcon, kButtonIcon));
  button->setFixedSize(22, 22);
  button->setCursor(Qt::PointingHandCursor);
  button->setStyleSheet(QStringLiteral(
      "QToolButton { border: none; border-radius: 5px; background: transparent; }"
      "QToolButton:hover { background: rgba(255, 255, 255, 20); }"
      "QToolButton:pressed { background: rgba(255, 255, 255, 36); }"));
  return button;
}

QWidget* PanelHeader::titleRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(14, 12, 14, 10);
  layout->setSpacing(8);
  auto* title = new QLabel(QStringLiteral("Tarnwick"), row);
  title->setFont(Theme::headline());
  layout->addWidget(title);
  layout->addStretch(1);
  refresh_ = iconButton(row);
  settings_ = iconButton(row);
  quit_ = iconButton(row);
  refresh_->setIcon(symbolIcon(Symbol::Refresh, Theme::primary(), kButtonIcon));
  settings_->setIcon(symbolIcon(Symbol::Settings, Theme::primary(), kButtonIcon));
  quit_->setIcon(symbolIcon(Symbol::Power, Theme::primary(), kButtonIcon));
  for (QToolButton* button : {refresh_, settings_, quit_}) layout->addWidget(button);
  connect(refresh_, &QToolButton::clicked, model_, &PanelState::refresh);
  connect(settings_, &QToolButton::clicked, this,
          [this] { model_->setShowSettings(!model_->showSettings()); });
  connect(quit_, &QToolButton::clicked, this, &PanelHeader::quitRequested);
  return row;
}

QWidget* PanelHeader::summaryRow() {
  summary_ = new QWidget(this);
  auto* layout = new QHBoxLayout(summary_);
  layout->setContentsMargins(14, 8, 14, 0);
  layout->setSpacing(5);
  const QString secondary = QStringLiteral("color: %1;").arg(Theme::css(Theme::secondary()));
  counts_ = new QLabel(summary_);
  counts_->setFont(Theme::monospaced(11));
  counts_->setStyleSheet(secondary);
  exposedDot_ = new QLabel(QStringLiteral("\u00B7"), summary_);
  exposedDot_->setFont(Theme::monospaced(11));
  exposedDot_->setStyleSheet(secondary);
  exposed_ = new QPushButton(summary_);
  exposed_->setFocusPolicy(Qt::NoFocus);
  exposed_->setCursor(Qt::PointingHandCursor);
  connect(exposed_, &QPushButton::clicked, this,
          [this] { model_->setExposedOnly(!model_->exposedOnly()); });
  layout->addWidget(counts_, 0, Qt::AlignVCenter);
  layout->addWidget(exposedDot_, 0, Qt::AlignVCenter);
  layout->addWidget(exposed_, 0, Qt::AlignVCenter);
  layout->addStretch(1);
  return summary_;
}

QWidget* PanelHeader::searchRow() {
  auto* holder = new QWidget(this);
  auto* outer = new QVBoxLayout(holder);
  outer->setContentsMargins(12, 8, 12, 8);
  auto* frame = new RoundedFrame(7, holder);
  outer->addWidget(frame);
  auto* layout = new QHBoxLayout(frame);
  layout->setContentsMargins(8, 5, 8, 5);
  layout->setSpacing(6);

  auto* glass = new QLabel(frame);
  glass->setPixmap(symbolPixmap(Symbol::Search, Theme::secondary(), kSearchIcon, 2.0));
  glass->setFixedSize(kSearchIcon, kSearchIcon);
  search_ = new QLineEdit(frame);
  search_->setFont(Theme::callout());
  search_->setFrame(false);
  search_->setFocusPolicy(Qt::ClickFocus);
  search_->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none;"
                                        " color: %1; padding: 0; }")
                             .arg(Theme::css(Theme::primary())));
  clear_ = new QToolButton(frame);
  clear_->setAutoRaise(true);
  clear_->setFocusPolicy(Qt::NoFocus);
  clear_->setIconSize(QSize(kSearchIcon, kSearchIcon));
  clear_->setIcon(symbolIcon(Symbol::ClearSearch, Theme::secondary(), kSearchIcon));
  clear_->setFixedSize(kSearchIcon + 2, kSearchIcon + 2);
  clear_->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
  clear_->setCursor(Qt::ArrowCursor);
  connect(search_, &QLineEdit::textEdited, model_, &PanelState::setSearchText);
  connect(clear_, &QToolButton::clicked, this, [this] { model_->setSearchText(QString()); });
  layout->addWidget(glass, 0, Qt::AlignVCenter);
  layout->addWidget(search_, 1);
  layout->addWidget(clear_, 0, Qt::AlignVCenter);
  return holder;
}

void PanelHeader::sync(const SummaryCounts& counts) {
  // Icon-only buttons: their tooltip is also what a screen reader says.
  const std::pair<QToolButton*, const char*> buttons[] = {
      {refresh_, "refresh"}, {settings_, "settings"}, {quit_, "quit"}};
  for (const auto& [button, key] : buttons) {
    button->setToolTip(localized(texts_, key));
    button->setAccessibleName(localized(texts_, key));
  }
  if (settingsTint_ != model_->showSettings()) {
    settingsTint_ = model_->showSettings();
    settings_->setIcon(symbolIcon(Symbol::Settings,
                                  settingsTint_ ? Theme::accent() : Theme::primary(), kButtonIcon));
  }

  summary_->setVisible(model_->loaded() && !model_->entries().empty());
  counts_->setText(QString::fromStdString(texts_.format("summary_dev", {static_cast<int64_t>(counts.dev)})) +
                   QStringLiteral(" \u00B7 ") + QString::number(counts.other) + ' ' + localized(texts_, "chip_sys"));
  exposedDot_->setVisible(counts.exposed > 0);
  exposed_->setVisible(counts.exposed > 0);
  exposed_->setToolTip(localized(texts_, "filter_exposed"));
  exposed_->setText(QString::fromStdString(
                        texts_.format("hero_exposed", {static_cast<int64_t>(counts.exposed)})) +
                    QStringLiteral(" \u26A0"));
  bool only = model_->exposedOnly();
  // Restyling re-polishes the button: only when the filter flips.
  if (QString style = exposedStyle(only); exposed_->styleSheet() != style) {
    exposed_->setFont(Theme::monospaced(11, only ? QFont::DemiBold : QFont::Normal));
    exposed_->setStyleSheet(style);
  }

  search_->setPlaceholderText(localized(texts_, "search_placeholder"));
  if (search_->text() != model_->searchText()) search_->setText(model_->searchText());
  clear_->setVisible(!model_->searchText().isEmpty());
}
