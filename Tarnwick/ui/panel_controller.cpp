#include "ui/panel_controller.h"

#include <algorithm>

PanelController::PanelController(std::shared_ptr<PanelServices> services, std::shared_ptr<Executor> gui,
                                 std::shared_ptr<Executor> background, Panel panel)
    : services_(std::move(services)), background_(std::move(background)), panel_(std::move(panel)) {
  // The name takes a search of the system: the menu offers the editor once it is known.
  background_->post([this, services = services_, gui, alive = std::weak_ptr<const bool>(alive_)] {
    std::string name = services->editorName();
    gui->post([this, alive, name = std::move(name)] {
      if (!alive.lock()) return;
      editorName_ = name;
      panel_.changed();
    });
  });
}

void PanelController::select(const std::optional<std::string>& id) {
  if (selection_ == id) return;
  selection_ = id;
  panel_.changed();
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
  std::vector<PortEntry> rows = panel_.orderedRows();
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
  std::vector<PortEntry> rows = panel_.orderedRows();
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
    panel_.changed();
    return KeyResult::Handled;
  }
  if (pendingKill_) {
    cancelPending();
    return KeyResult::Handled;
  }
  if (panel_.dismissNotice()) return KeyResult::Handled;
  if (panel_.clearSearch()) return KeyResult::Handled;
  if (!selection_) return KeyResult::Ignored;
  select(std::nullopt);
  return KeyResult::Handled;
}

// ---- Actions ---------------------------------------------------------------------

void PanelController::act(RowAction action, const PortEntry& entry, Confirmation confirmation) {
  switch (action) {
    case RowAction::OpenInBrowser:
      services_->openUrl(entry.url());
      return;
    case RowAction::OpenInEditor:
      // Finding the editor searches the system again: not on the GUI thread.
      if (entry.cwd)
        background_->post([services = services_, path = *entry.cwd] { services->openInEditor(path); });
      return;
    case RowAction::SetLabel:
      startLabelEdit(entry.port);
      return;
    case RowAction::Watch:
    case RowAction::Unwatch:
      setWatched(entry.port, action == RowAction::Watch);
      return;
    case RowAction::Hide:
      panel_.hidePort(entry.port);
      return;
    case RowAction::Stop:
      request(entry, false, false, false, confirmation);
      return;
    case RowAction::StopTree:
      request(entry, true, false, false, confirmation);
      return;
    case RowAction::ForceStop:
      request(entry, false, true, false, confirmation);
      return;
    case RowAction::Restart:
      request(entry, true, false, true, confirmation);
      return;
    case RowAction::CopyUrl:
      services_->copyText(entry.url());
      return;
    case RowAction::CopyPort:
      services_->copyText(std::to_string(entry.port));
      return;
    case RowAction::CopyPid:
      services_->copyText(std::to_string(entry.pid));
      return;
    case RowAction::CopyKillCommand:
      services_->copyText("kill " + std::to_string(entry.pid));
      return;
    case RowAction::CopyPath:
      if (entry.cwd) services_->copyText(*entry.cwd);
      return;
  }
}

// The stored set, not a copy: the notifier or another panel may have changed it.
void PanelController::setWatched(int64_t port, bool watched) {
  std::set<int64_t> ports = services_->watched();
  if (watched)
    ports.insert(port);
  else
    ports.erase(port);
  services_->setWatched(ports);
  panel_.storesWritten();
}

// ---- Stops and their confirmation ----------------------------------------------------

// The identity is the one the row showed when the request was made, so a PID
// taken over before the confirmation is not stopped.
void PanelController::request(const PortEntry& entry, bool tree, bool force, bool restart,
                              Confirmation confirmation) {
  PendingKill request{entry, panel_.identityOf(entry.pid), tree, force, restart};
  if (confirmation == Confirmation::Given || (!panel_.confirmBeforeKill() && !entry.isSystem())) {
    panel_.perform(request);
    return;
  }
  pendingKill_ = std::move(request);
  panel_.changed();
}

void PanelController::confirmPending() {
  if (!pendingKill_) return;
  PendingKill request = std::move(*pendingKill_);
  pendingKill_.reset();
  panel_.changed();
  panel_.perform(request);
}

void PanelController::cancelPending() {
  if (!pendingKill_) return;
  pendingKill_.reset();
  panel_.changed();
}

// ---- Labels ------------------------------------------------------------------------

void PanelController::startLabelEdit(int64_t port) {
  LabelMap labels = services_->labels();
  auto it = labels.find(std::to_string(port));
  labelDraft_ = it != labels.end() ? it->second : std::string();
  editingLabelPort_ = port;
  panel_.changed();
}

void PanelController::commitLabelEdit() {
  if (!editingLabelPort_) return;
  int64_t port = *editingLabelPort_;
  editingLabelPort_.reset();
  services_->setLabel(labelDraft_, port);
  panel_.storesWritten();
  panel_.changed();
}
