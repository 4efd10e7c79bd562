#include "ui/panel_controller.h"

#include "ui/panel_state.h"

#include <algorithm>

PanelController::PanelController(PanelState& state, Seams seams, QObject* parent)
    : QObject(parent), state_(state), seams_(std::move(seams)) {}

void PanelController::select(const std::optional<std::string>& id) {
  if (selection_ == id) return;
  selection_ = id;
  emit changed();
}

// ---- Keys ----------------------------------------------------------------------

KeyResult PanelController::key(PanelKey key) {
  switch (key) {
    case PanelKey::Up:
      moveSelection(-1);
      return KeyResult::Handled;
    case PanelKey::Down:
      moveSelection(1);
      return KeyResult::Handled;
    case PanelKey::Return:
      return handleReturn();
    case PanelKey::Escape:
      return handleEscape();
  }
  return KeyResult::Ignored;
}

void PanelController::moveSelection(int delta) {
  std::vector<PortEntry> rows = state_.orderedRows();
  if (rows.empty()) return;
  auto found = std::ranges::find_if(rows, [&](const PortEntry& e) { return selection_ == e.id(); });
  std::ptrdiff_t last = static_cast<std::ptrdiff_t>(rows.size()) - 1;
  std::ptrdiff_t target;
  if (found != rows.end())
    target = std::clamp<std::ptrdiff_t>((found - rows.begin()) + delta, 0, last);
  else
    target = delta < 1 ? last : 0;
  select(rows[static_cast<size_t>(target)].id());
}

KeyResult PanelController::handleReturn() {
  // The label editor takes its own Return.
  if (editingLabelPort_) return KeyResult::Ignored;
  std::vector<PortEntry> rows = state_.orderedRows();
  auto found = std::ranges::find_if(rows, [&](const PortEntry& e) { return selection_ == e.id(); });
  if (found == rows.end()) return KeyResult::Ignored;
  if (pendingKill_ && pendingKill_->entry.id() == found->id())
    confirmPending();
  else
    act(RowAction::Stop, *found);
  return KeyResult::Handled;
}

// One thing undone per press, the most recent kind first.
KeyResult PanelController::handleEscape() {
  if (editingLabelPort_) {
    editingLabelPort_.reset();
    emit changed();
    return KeyResult::Handled;
  }
  if (pendingKill_) {
    cancelPending();
    return KeyResult::Handled;
  }
  if (state_.dismissNotice()) return KeyResult::Handled;
  if (!state_.searchText().isEmpty()) {
    state_.setSearchText(QString());
    return KeyResult::Handled;
  }
  if (!selection_) return KeyResult::Ignored;
  select(std::nullopt);
  return KeyResult::Handled;
}

// ---- Actions ---------------------------------------------------------------------

void PanelController::act(RowAction action, const PortEntry& entry, Confirmation confirmation) {
  switch (action) {
    case RowAction::OpenInBrowser:
      seams_.desktop->openUrl(entry.url());
      return;
    case RowAction::OpenInEditor:
      // Finding the editor searches the system again: not on the GUI thread.
      if (entry.cwd)
        seams_.background->post([desktop = seams_.desktop, path = *entry.cwd] { desktop->openInEditor(path); });
      return;
    case RowAction::SetLabel:
      startLabelEdit(entry.port);
      return;
    case RowAction::Watch:
    case RowAction::Unwatch:
      setWatched(entry.port, action == RowAction::Watch ? Watching::Add : Watching::Remove);
      return;
    case RowAction::Hide:
      state_.hidePort(entry.port);
      return;
    case RowAction::Stop:
      request({.entry = entry}, confirmation);
      return;
    case RowAction::StopTree:
      request({.entry = entry, .tree = true}, confirmation);
      return;
    case RowAction::ForceStop:
      request({.entry = entry, .force = true}, confirmation);
      return;
    case RowAction::Restart:
      request({.entry = entry, .tree = true, .restart = true}, confirmation);
      return;
    case RowAction::CopyUrl:
      seams_.desktop->copyText(entry.url());
      return;
    case RowAction::CopyPort:
      seams_.desktop->copyText(std::to_string(entry.port));
      return;
    case RowAction::CopyPid:
      seams_.desktop->copyText(std::to_string(entry.pid));
      return;
    case RowAction::CopyKillCommand:
      seams_.desktop->copyText("kill " + std::to_string(entry.pid));
      return;
    case RowAction::CopyPath:
      if (entry.cwd) seams_.desktop->copyText(*entry.cwd);
      return;
  }
}

// The stored set, not a copy: the notifier or another panel may have changed it.
void PanelController::setWatched(int64_t port, Watching watching) {
  std::set<int64_t> ports = seams_.stores->watched();
  if (watching == Watching::Add)
    ports.insert(port);
  else
    ports.erase(port);
  seams_.stores->setWatched(ports);
  state_.applyStores();
}

// ---- Stops and their confirmation ----------------------------------------------------

// The identity is the one the row showed when the request was made, so a PID
// taken over before the confirmation is not stopped.
void PanelController::request(PendingKill kind, Confirmation confirmation) {
  kind.identity = state_.identityOf(kind.entry.pid);
  if (confirmation == Confirmation::Given || (!state_.confirmBeforeKill() && !kind.entry.isSystem())) {
    state_.perform(kind);
    return;
  }
  pendingKill_ = std::move(kind);
  emit changed();
}

void PanelController::confirmPending() {
  if (!pendingKill_) return;
  PendingKill request = std::move(*pendingKill_);
  pendingKill_.reset();
  emit changed();
  state_.perform(request);
}

void PanelController::cancelPending() {
  if (!pendingKill_) return;
  pendingKill_.reset();
  emit changed();
}

// ---- Labels ------------------------------------------------------------------------

void PanelController::startLabelEdit(int64_t port) {
  LabelMap labels = seams_.stores->labels();
  auto it = labels.find(std::to_string(port));
  labelDraft_ = it != labels.end() ? it->second : std::string();
  editingLabelPort_ = port;
  emit changed();
}

void PanelController::commitLabelEdit() {
  if (!editingLabelPort_) return;
  int64_t port = *editingLabelPort_;
  editingLabelPort_.reset();
  seams_.stores->setLabel(labelDraft_, port);
  state_.applyStores();
  emit changed();
}

// ---- Rows ----------------------------------------------------------------------

RowState PanelController::rowState(const PanelRow& listed) const {
  const PortEntry& entry = listed.entry;
  RowState row;
  row.entry = entry;
  row.label = listed.label;
  row.dockerName = listed.dockerName;
  row.healthy = listed.healthy;
  row.stat = listed.stat;
  row.isSelected = selection_ == entry.id();
  row.isConfirming = pendingKill_ && pendingKill_->entry.id() == entry.id();
  row.confirmingTree = row.isConfirming && pendingKill_->tree;
  row.confirmingForce = row.isConfirming && pendingKill_->force;
  row.confirmingRestart = row.isConfirming && pendingKill_->restart;
  row.isWatched = state_.isWatched(entry.port);
  row.isEditingLabel = editingLabelPort_ == entry.port;
  row.editorName = state_.editorName();
  if (const auto& notice = state_.notice(); notice && notice->entry.id() == entry.id()) {
    row.notice = notice->key;
    row.noticeArguments = notice->arguments;
  }
  return row;
}
