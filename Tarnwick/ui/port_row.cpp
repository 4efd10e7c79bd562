#include "ui/port_row.h"

#include "integrations/l10n.h"
#include "integrations/text_format.h"
#include "ui/localized.h"
#include "ui/port_presentation.h"
#include "ui/row_parts.h"
#include "ui/symbol_icon.h"
#include "ui/theme.h"
#include "ui/tray_menu.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 28;
constexpr int kActionsWidth = 86;

QString smallButtonStyle(const QColor& text, const QColor& background) {
  return QStringLiteral(
             "QPushButton { color: %1; background: %2; border: none; border-radius: 5px;"
             " padding: 2px 9px; }"
             "QPushButton:pressed { background: %3; }")
      .arg(Theme::css(text), Theme::css(background),
           Theme::css(background.lighter(130)));
}

QPixmap roundedIcon(const QIcon& icon, qreal ratio) {
  const int device = static_cast<int>(kIconSize * ratio);
  QPixmap source = icon.pixmap(QSize(device, device))
                       .scaled(device, device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  source.setDevicePixelRatio(1);
  QPixmap rounded(device, device);
  rounded.fill(Qt::transparent);
  QPainter painter(&rounded);
  // Filling the rounded shape with the icon, rather than clipping to it, keeps
  // the corners anti-aliased.
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QBrush(source));
  painter.drawRoundedRect(QRectF(0, 0, device, device), 7 * ratio, 7 * ratio);
  painter.end();
  rounded.setDevicePixelRatio(ratio);
  return rounded;
}

// Names, chains, users and labels are other people's text: a tooltip shows them
// as written, never through the rich-text guess that a leading tag triggers.
QString plainToolTip(const std::string& text) { return Qt::convertFromPlainText(QString::fromStdString(text)); }

QLabel* markLabel(Symbol symbol, const QColor& color, int pixels, QWidget* parent) {
  auto* mark = new QLabel(parent);
  mark->setPixmap(symbolPixmap(symbol, color, pixels, 2.0));
  mark->setFixedSize(pixels, pixels);
  return mark;
}

}  // namespace

PortRow::PortRow(const RowState& state, const L10n::Texts& texts, QWidget* parent)
    : QWidget(parent), state_(state), texts_(texts) {
  setFixedHeight(kHeight);
  setAttribute(Qt::WA_Hover);
  setFocusPolicy(Qt::NoFocus);
  build();
  refresh();
}

void PortRow::build() {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(10, 7, 10, 7);
  row->setSpacing(10);

  icon_ = new QLabel(this);
  icon_->setFixedSize(kIconSize, kIconSize);
  row->addWidget(icon_, 0, Qt::AlignVCenter);

  auto* text = new QVBoxLayout;
  text->setSpacing(1);
  text->setContentsMargins(0, 0, 0, 0);
  text->addLayout(buildTitleLine());
  buildSecondLine(text);
  // The text block's stretch is the flexible gap; the row's spacing keeps it
  // at least 8 wide.
  row->addLayout(text, 1);

  row->addWidget(buildActions(), 0, Qt::AlignVCenter);
  row->addWidget(buildConfirmation(), 0, Qt::AlignVCenter);
}

QHBoxLayout* PortRow::buildTitleLine() {
  auto* title = new QHBoxLayout;
  title->setSpacing(6);
  title->setContentsMargins(0, 0, 0, 0);
  dot_ = new HealthDot(this);
  port_ = new PortNumber(this);
  chip_ = new QLabel(this);
  chip_->setTextFormat(Qt::PlainText);  // the user's label
  QFont chipFont = Theme::caption();
  chipFont.setWeight(QFont::DemiBold);
  chip_->setFont(chipFont);
  chip_->setStyleSheet(QStringLiteral("QLabel { color: %1; background: %2; border-radius: 7px;"
                                      " padding: 1px 6px; }")
                           .arg(Theme::css(Theme::primary()),
                                Theme::css(Theme::faded(Theme::accent(), 0.18))));
  watched_ = markLabel(Symbol::Watched, Theme::secondary(), 8, this);
  exposed_ = markLabel(Symbol::Network, Theme::orange(), 9, this);
  for (QWidget* item : std::initializer_list<QWidget*>{dot_, port_, chip_, watched_, exposed_})
    title->addWidget(item, 0, Qt::AlignVCenter);
  title->addStretch(1);
  return title;
}

void PortRow::buildSecondLine(QVBoxLayout* text) {
  subtitle_ = new ElidedText(this);
  subtitle_->setFont(Theme::caption());
  editor_ = new QLineEdit(this);
  editor_->setFont(Theme::caption());
  editor_->setFixedWidth(180);
  editor_->setFocusPolicy(Qt::ClickFocus);
  editor_->setStyleSheet(QStringLiteral("QLineEdit { color: %1; background: %2; border: 1px solid"
                                        " %3; border-radius: 4px; padding: 0 4px; }"
                                        "QLineEdit:focus { border-color: %4; }")
                             .arg(Theme::css(Theme::primary()), Theme::css(Theme::card()),
                                  Theme::css(QColor(255, 255, 255, 50)),
                                  Theme::css(Theme::accent())));
  editor_->hide();
  connect(editor_, &QLineEdit::textEdited, this, &PortRow::labelDraftEdited);
  connect(editor_, &QLineEdit::returnPressed, this, &PortRow::labelCommitted);
  text->addWidget(subtitle_);
  text->addWidget(editor_);
}

QWidget* PortRow::buildActions() {
  actions_ = new QWidget(this);
  actions_->setFixedWidth(kActionsWidth);
  // Statistics and the stop button share one cell, one over the other.
  auto* layers = new QGridLayout(actions_);
  layers->setContentsMargins(0, 0, 0, 0);
  stats_ = new ShrinkingText(actions_);
  QFont statsFont = Theme::monospaced(10);
  stats_->setFont(statsFont);
  stats_->setToolTip(QStringLiteral("CPU \u00B7 RAM"));
  stats_->setFixedHeight(QFontMetrics(statsFont).height());
  stop_ = new QPushButton(actions_);
  stop_->setFont(Theme::caption());
  stop_->setFocusPolicy(Qt::NoFocus);
  stop_->setCursor(Qt::PointingHandCursor);
  layers->addWidget(stats_, 0, 0, Qt::AlignVCenter);
  layers->addWidget(stop_, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
  connect(stop_, &QPushButton::clicked, this, [this] { emit actionChosen(RowAction::Stop); });
  return actions_;
}

QWidget* PortRow::buildConfirmation() {
  confirmBox_ = new QWidget(this);
  auto* layout = new QHBoxLayout(confirmBox_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(6);
  cancel_ = new QPushButton(confirmBox_);
  confirm_ = new QPushButton(confirmBox_);
  for (QPushButton* button : {cancel_, confirm_}) {
    button->setFont(Theme::caption());
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    layout->addWidget(button);
  }
  cancel_->setStyleSheet(smallButtonStyle(Theme::primary(), QColor(255, 255, 255, 30)));
  confirm_->setStyleSheet(smallButtonStyle(Qt::white, Theme::red()));
  connect(cancel_, &QPushButton::clicked, this, &PortRow::cancelled);
  connect(confirm_, &QPushButton::clicked, this, &PortRow::confirmed);
  confirmBox_->hide();
  return confirmBox_;
}

bool PortRow::isDev() const { return isDevPort(state_.entry.port); }

void PortRow::setState(const RowState& state) {
  if (state == state_) return;
  RowState withNewStat = state_;
  withNewStat.stat = state.stat;
  bool onlyStats = withNewStat == state;
  state_ = state;
  if (onlyStats) {
    refreshStats();
    return;
  }
  refresh();
}

void PortRow::retranslate() { refresh(); }

void PortRow::setLabelDraft(const QString& draft) {
  if (editor_->text() != draft) editor_->setText(draft);
}

void PortRow::refresh() {
  setToolTip(plainToolTip(processTooltip(state_.entry)));
  refreshTitleLine();
  refreshSecondLine();
  refreshActions();
  update();
}

void PortRow::setOwnerIcon(const QIcon& icon) {
  if (icon.cacheKey() == iconKey_) return;
  qreal ratio = std::max<qreal>(2.0, devicePixelRatioF());
  icon_->setPixmap(roundedIcon(icon, ratio));
  iconKey_ = icon.cacheKey();
}

void PortRow::refreshTitleLine() {
  dot_->setVisible(state_.healthy.has_value());
  if (state_.healthy) {
    dot_->setColor(*state_.healthy ? Theme::green() : Theme::faded(Theme::secondary(), 0.4));
    dot_->setToolTip(localized(texts_, *state_.healthy ? "help_healthy" : "help_no_http"));
  }

  port_->setPort(state_.entry.port);
  port_->setUnderlined(hovering_ && isDev());
  port_->setCursor(isDev() ? Qt::PointingHandCursor : Qt::ArrowCursor);
  port_->setToolTip(isDev() ? localized(texts_, "help_open") + QStringLiteral(" \u2014 ") +
                                  QString::fromStdString(state_.entry.url())
                            : QString());

  chip_->setVisible(state_.label.has_value());
  if (state_.label) chip_->setText(QString::fromStdString(*state_.label));
  watched_->setVisible(state_.isWatched);
  watched_->setToolTip(localized(texts_, "help_watched"));
  exposed_->setVisible(state_.entry.isExposed());
  exposed_->setToolTip(localized(texts_, "help_exposed"));
}

void PortRow::refreshSecondLine() {
  bool wasEditing = editor_->isVisibleTo(this);
  if (state_.isEditingLabel) {
    subtitle_->hide();
    editor_->setPlaceholderText(localized(texts_, "label_placeholder"));
    editor_->show();
    if (!wasEditing) editor_->setFocus(Qt::OtherFocusReason);
    return;
  }
  editor_->hide();
  subtitle_->show();
  if (state_.isConfirming) {
    subtitle_->setText(QString::fromStdString(confirmText(texts_, state_)));
    subtitle_->setColor(Theme::primary());
  } else if (state_.notice) {
    subtitle_->setText(
        QString::fromStdString(L10n::formatText(texts_.text(*state_.notice), state_.noticeArguments)));
    subtitle_->setColor(Theme::red());
  } else {
    subtitle_->setText(QString::fromStdString(subtitle(texts_, state_.entry, state_.dockerName)));
    subtitle_->setColor(Theme::secondary());
  }
}

void PortRow::refreshActions() {
  cancel_->setText(localized(texts_, "cancel"));
  confirm_->setText(localized(texts_, "stop"));
  confirmBox_->setVisible(state_.isConfirming);
  actions_->setVisible(!state_.isConfirming);

  bool active = hovering_ || state_.isSelected;
  bool system = state_.entry.isSystem();
  stop_->setText(localized(texts_, "stop"));
  stop_->setToolTip(plainToolTip(stopButtonTooltip(texts_, state_)));
  QString style = system ? smallButtonStyle(Theme::primary(), QColor(142, 142, 147, 70))
                         : smallButtonStyle(Theme::red(), Theme::faded(Theme::red(), 0.2));
  // Restyling re-polishes the button: only when the tint changes.
  if (stop_->styleSheet() != style) stop_->setStyleSheet(style);
  stop_->setVisible(active);
  refreshStats();
}

void PortRow::refreshStats() {
  bool active = hovering_ || state_.isSelected;
  stats_->setVisible(state_.stat.has_value() && !active);
  if (state_.stat) stats_->setText(QString::fromStdString(statsText(*state_.stat)));
}

void PortRow::setHovering(bool hovering) {
  if (hovering_ == hovering) return;
  hovering_ = hovering;
  port_->setUnderlined(hovering_ && isDev());
  refreshActions();
  update();
}

void PortRow::paintEvent(QPaintEvent*) {
  QColor fill;
  if (state_.isConfirming)
    fill = Theme::faded(Theme::red(), 0.10);
  else if (state_.isSelected)
    fill = Theme::faded(Theme::accent(), 0.12);
  else if (hovering_)
    fill = QColor::fromRgbF(1, 1, 1, 0.06f);
  if (!fill.isValid()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawRoundedRect(QRectF(rect()), 8, 8);
}

void PortRow::enterEvent(QEnterEvent*) { setHovering(true); }

void PortRow::leaveEvent(QEvent*) { setHovering(false); }

void PortRow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  // Copy what the click needs: selecting may rebuild or move this row.
  bool open = childAt(event->position().toPoint()) == port_ && isDev();
  emit selected();
  if (open) emit actionChosen(RowAction::OpenInBrowser);
}

void PortRow::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = buildContextMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  // The open menu takes the pointer, so the row may miss its leave: look
  // where the pointer is once the menu goes.
  connect(menu, &QMenu::aboutToHide, this,
          [this] { setHovering(rect().contains(mapFromGlobal(QCursor::pos()))); });
  menu->popup(event->globalPos());
}

QMenu* PortRow::buildContextMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  for (const std::vector<MenuItem>& group : rowMenu(state_)) {
    if (!menu->isEmpty()) menu->addSeparator();
    for (const MenuItem& item : group) {
      // A menu reads "&" as the mark of a shortcut; in an editor's name it is meant literally.
      const std::string argument = menuActionText(item.argument, MenuExport::Drawn);
      QString text = item.argument.empty() ? localized(texts_, item.key)
                                           : QString::fromStdString(texts_.format(item.key, {argument}));
      menu->addAction(text, this, [this, action = item.action] { emit actionChosen(action); });
    }
  }
  return menu;
}
