#include "ui/port_list_view.h"

#include "ui/localized.h"
#include "ui/owner_icon.h"
#include "ui/panel.h"
#include "ui/panel_header.h"
#include "ui/panel_state.h"
#include "ui/port_row.h"
#include "ui/settings_card.h"
#include "ui/symbol_icon.h"
#include "ui/theme.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSectionHeaderHeight = 30;
constexpr int kListTop = 6;
constexpr int kListBottom = 10;
constexpr int kListSide = 6;

QLabel* makeSectionHeader(QWidget* parent) {
  auto* header = new QLabel(parent);
  QFont font = Theme::monospaced(10, QFont::DemiBold);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
  header->setFont(font);
  header->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::secondary())));
  header->setContentsMargins(10, 10, 10, 4);
  header->setFixedHeight(kSectionHeaderHeight);
  header->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  header->hide();
  return header;
}

// Whole rows only: a row cut at the bottom edge reads as the last one.
int listHeight(size_t rowCount, int headers, double maxHeight) {
  const int fixed = headers * kSectionHeaderHeight + kListTop + kListBottom;
  const int full = static_cast<int>(rowCount) * PortRow::kHeight + fixed;
  if (maxHeight >= full) return full;
  return std::max(1, static_cast<int>((maxHeight - fixed) / PortRow::kHeight)) * PortRow::kHeight + fixed;
}

}  // namespace

/// The scrolling column of section headers and rows. Every item has a fixed
/// height, so placing them by hand keeps reordering cheap and exact.
class RowColumn final : public QWidget {
 public:
  using QWidget::QWidget;

  void setItems(std::vector<QWidget*> items) {
    items_ = std::move(items);
    int height = kListTop + kListBottom;
    for (QWidget* item : items_) height += item->minimumHeight();
    setMinimumHeight(height);
    place();
    for (QWidget* item : items_) item->show();
  }

  QSize sizeHint() const override { return {0, minimumHeight()}; }

 protected:
  void resizeEvent(QResizeEvent*) override { place(); }

 private:
  void place() {
    int y = kListTop;
    for (QWidget* item : items_) {
      int h = item->minimumHeight();
      item->setGeometry(kListSide, y, width() - 2 * kListSide, h);
      y += h;
    }
  }

  std::vector<QWidget*> items_;
};

PortListView::PortListView(Panel& panel, OwnerIconCache& icons, const L10n::Texts& texts, QWidget* parent)
    : QWidget(parent), model_(&panel.state()), controller_(&panel.controller()), texts_(texts), icons_(icons) {
  setFixedWidth(kWidth);
  setPalette(Theme::palette());
  setBackgroundRole(QPalette::Window);
  setAutoFillBackground(true);
  setStyleSheet(Theme::styleSheet());
  setFocusPolicy(Qt::StrongFocus);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The panel is as tall as what it shows; its window follows.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  header_ = new PanelHeader(model_, texts_, this);
  connect(header_, &PanelHeader::quitRequested, this, &PortListView::quitRequested);
  layout->addWidget(header_);
  layout->addWidget(makeDivider(this));

  settingsBlock_ = new QWidget(this);
  auto* settingsLayout = new QVBoxLayout(settingsBlock_);
  settingsLayout->setContentsMargins(0, 0, 0, 0);
  settingsLayout->setSpacing(0);
  settings_ = new SettingsCard(model_, texts_, settingsBlock_);
  settingsLayout->addWidget(settings_);
  settingsLayout->addWidget(makeDivider(settingsBlock_));
  layout->addWidget(settingsBlock_);

  layout->addWidget(buildEmptyState());
  layout->addWidget(buildList());

  for (QWidget* block : {static_cast<QWidget*>(header_), settingsBlock_, empty_,
                         static_cast<QWidget*>(scroll_)})
    block->setFixedWidth(kWidth);

  connect(&panel, &Panel::changed, this, &PortListView::sync);
  connect(&icons_, &OwnerIconCache::arrived, this, [this] {
    for (PortRow* row : order_) showOwnerIcon(row);
  });
  qApp->installEventFilter(this);
  sync();
  // Sized now, so a window can place the panel before showing it.
  layout->activate();
}

QWidget* PortListView::buildEmptyState() {
  empty_ = new QWidget(this);
  auto* emptyLayout = new QVBoxLayout(empty_);
  emptyLayout->setContentsMargins(0, 28, 0, 28);
  emptyLayout->setSpacing(6);
  emptyIcon_ = new QLabel(empty_);
  emptyIcon_->setPixmap(symbolPixmap(Symbol::Sleep, Theme::tertiary(), 22, 2.0));
  emptyIcon_->setAlignment(Qt::AlignCenter);
  emptyText_ = new QLabel(empty_);
  emptyText_->setFont(Theme::callout());
  emptyText_->setAlignment(Qt::AlignCenter);
  emptyText_->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::secondary())));
  emptyLayout->addWidget(emptyIcon_);
  emptyLayout->addWidget(emptyText_);
  return empty_;
}

QWidget* PortListView::buildList() {
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroll_->setWidgetResizable(true);
  scroll_->setFocusPolicy(Qt::NoFocus);
  scroll_->viewport()->setAutoFillBackground(false);
  column_ = new RowColumn;
  scroll_->setWidget(column_);
  // setWidget() turns the fill on; the panel's colour must show through.
  column_->setAutoFillBackground(false);
  devHeader_ = makeSectionHeader(column_);
  otherHeader_ = makeSectionHeader(column_);
  return scroll_;
}

PortListView::~PortListView() { qApp->removeEventFilter(this); }

void PortListView::sync() {
  const PanelRows listing = model_->rows();
  header_->sync(listing.summary);
  settingsBlock_->setVisible(model_->showSettings());
  if (model_->showSettings()) settings_->sync();
  syncList(listing);
  syncFocus();
}

void PortListView::syncList(const PanelRows& listing) {
  const bool listed = !listing.dev.empty() || !listing.other.empty();
  empty_->setVisible(!listed);
  emptyText_->setText(localized(texts_, listing.emptyStateKey));
  scroll_->setVisible(listed);

  const QString language = model_->appLanguage();
  const bool retranslate = language != language_;
  language_ = language;

  std::map<std::string, PortRow*> previous;
  previous.swap(rows_);
  std::vector<QWidget*> items;
  order_.clear();
  auto addSection = [&](QLabel* header, const char* titleKey, const std::vector<PanelRow>& list) {
    header->setVisible(!list.empty());
    if (list.empty()) return;
    header->setText(localized(texts_, titleKey) + QStringLiteral("  \u00B7  ") + QString::number(list.size()));
    items.push_back(header);
    for (const PanelRow& item : list) {
      PortRow* row = takeOrMakeRow(item, previous);
      showOwnerIcon(row);
      if (retranslate) row->retranslate();
      items.push_back(row);
      order_.push_back(row);
    }
  };
  addSection(devHeader_, "section_dev", listing.dev);
  addSection(otherHeader_, "section_system", listing.other);
  // Pruned to the scan, not to the rows: a search hides rows it will show again.
  std::vector<ProcessIdentity> scanned;
  for (const PortEntry& entry : model_->entries()) scanned.push_back(identityOf(entry));
  icons_.keepOnly(scanned);

  // Later, not now: the row may be the sender of the signal that got us here.
  for (auto& [key, row] : previous) {
    row->hide();
    row->deleteLater();
  }
  column_->setItems(std::move(items));
  const int headers = int(!listing.dev.empty()) + int(!listing.other.empty());
  scroll_->setFixedHeight(
      listHeight(listing.dev.size() + listing.other.size(), headers, model_->panelMaxHeight()));
}

ProcessIdentity PortListView::identityOf(const PortEntry& entry) const {
  // A row kept for its notice may outlive its scan: it has no start time.
  return model_->identityOf(entry.pid).value_or(ProcessIdentity{entry.pid, 0});
}

void PortListView::showOwnerIcon(PortRow* row) {
  const PortEntry& entry = row->state().entry;
  row->setOwnerIcon(icons_.iconFor(identityOf(entry), entry.rootPid));
}

PortRow* PortListView::takeOrMakeRow(const PanelRow& listed, std::map<std::string, PortRow*>& previous) {
  RowState state = controller_->rowState(listed);
  PortRow* row;
  if (auto it = previous.find(listed.key); it != previous.end()) {
    row = it->second;
    previous.erase(it);
    row->setState(state);
  } else {
    row = new PortRow(state, texts_, column_);
    connectRow(row);
  }
  if (state.isEditingLabel) row->setLabelDraft(QString::fromStdString(controller_->labelDraft()));
  rows_[listed.key] = row;
  return row;
}

void PortListView::connectRow(PortRow* row) {
  PanelController& controller = *controller_;
  // Each handler copies the entry first: the controller's answer may redraw the row.
  connect(row, &PortRow::selected, this, [&controller, row] { controller.select(row->state().entry.id()); });
  connect(row, &PortRow::actionChosen, this, [&controller, row](RowAction action) {
    const PortEntry entry = row->state().entry;
    controller.act(action, entry);
  });
  connect(row, &PortRow::confirmed, this, [&controller] { controller.confirmPending(); });
  connect(row, &PortRow::cancelled, this, [&controller] { controller.cancelPending(); });
  connect(row, &PortRow::labelCommitted, this, [&controller] { controller.commitLabelEdit(); });
  connect(row, &PortRow::labelDraftEdited, this,
          [&controller](const QString& draft) { controller.setLabelDraft(draft.toStdString()); });
}

void PortListView::syncFocus() {
  // A closed label editor must not leave the panel without keyboard focus.
  QWidget* focus = QApplication::focusWidget();
  bool lost = !focus || (isAncestorOf(focus) && !focus->isVisible());
  if (lost && isVisible()) setFocus(Qt::OtherFocusReason);
}

std::vector<PortRow*> PortListView::rows() const { return order_; }

PortRow* PortListView::row(const std::string& id) const {
  auto it = rows_.find(id);
  return it == rows_.end() ? nullptr : it->second;
}

bool PortListView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    seenPress_ = {};
    return false;
  }
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget != this && !isAncestorOf(widget)) return false;
  // An ignored press travels up to the parents of its receiver; the panel's
  // handlers see it once, at its first receiver. Its release clears it, but
  // that may go to another window (after the Escape that hid the panel): a
  // press from the window system then differs in its time, and one from
  // elsewhere is new once the panel shows again.
  auto* key = static_cast<QKeyEvent*>(event);
  if (event == seenPress_.event && key->timestamp() == seenPress_.timestamp) return false;
  seenPress_ = {event, key->timestamp()};
  return handleKey(key);
}

bool PortListView::handleKey(QKeyEvent* key) {
  PanelKey panelKey;
  switch (key->key()) {
    case Qt::Key_Down:
      panelKey = PanelKey::Down;
      break;
    case Qt::Key_Up:
      panelKey = PanelKey::Up;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      panelKey = PanelKey::Return;
      break;
    case Qt::Key_Escape:
      panelKey = PanelKey::Escape;
      break;
    default:
      return false;
  }
  return controller_->key(panelKey) == KeyResult::Handled;
}

void PortListView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  seenPress_ = {};
  // Qt drops size changes of parts shown or hidden while the panel itself was
  // hidden, leaving stale size hints in the layouts: measure afresh.
  for (QWidget* child : findChildren<QWidget*>()) child->updateGeometry();
  layout()->activate();
  QWidget* focus = QApplication::focusWidget();
  if (!focus || !isAncestorOf(focus)) setFocus(Qt::OtherFocusReason);
}
