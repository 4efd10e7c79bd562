#pragma once
// What the user does in the panel, knowing no widgets: the selection, a stop
// waiting for confirmation, the label editor, the keys and the row menu's
// actions. It decides, and hands what it decided down: to the panel's state
// it is given (which hands stops to its runner) and to the stores and
// desktop seams. Everything here runs on the GUI thread.
#include "core/records/port_entry.h"
#include "ui/panel_rows.h"
#include "ui/panel_seams.h"
#include "ui/pending_kill.h"
#include "ui/row_menu.h"
#include "ui/row_state.h"
#include "ui/task_executor.h"

#include <QObject>

#include <memory>
#include <optional>
#include <string>

class PanelState;

enum class PanelKey { Up, Down, Return, Escape };
/// Handled: the key did something, and goes no further.
enum class KeyResult { Handled, Ignored };
/// Given: the user has confirmed a stop already (in the item's menu).
enum class Confirmation { Ask, Given };

class PanelController : public QObject {
  Q_OBJECT

 public:
  struct Seams {
    std::shared_ptr<PanelStores> stores;
    std::shared_ptr<PanelDesktop> desktop;
    std::shared_ptr<Executor> background;  ///< for what searches the system
  };
  /// `state` must outlive the controller.
  PanelController(PanelState& state, Seams seams, QObject* parent = nullptr);

  const std::optional<std::string>& selection() const { return selection_; }
  /// Selects the row with `id` (PID:port); absent clears the selection.
  void select(const std::optional<std::string>& id);
  const std::optional<PendingKill>& pendingKill() const { return pendingKill_; }
  const std::optional<int64_t>& editingLabelPort() const { return editingLabelPort_; }
  const std::string& labelDraft() const { return labelDraft_; }

  KeyResult key(PanelKey key);
  /// Carries out a menu item, the stop button or a click on the port. A stop
  /// waits for confirmation unless it is Given.
  void act(RowAction action, const PortEntry& entry, Confirmation confirmation = Confirmation::Ask);

  void confirmPending();
  void cancelPending();

  void startLabelEdit(int64_t port);
  /// The editor's text as typed; it shows it already, so nothing is redrawn.
  void setLabelDraft(std::string draft) { labelDraft_ = std::move(draft); }
  /// Saves the draft as the port's label; a blank draft removes it.
  void commitLabelEdit();

  /// What the widget of `row` (one of the state's rows()) shows: the row's
  /// facts, with the selection, confirmation and label editor, the watch
  /// mark and any notice.
  RowState rowState(const PanelRow& row) const;

 signals:
  /// The selection, a confirmation or the label editor changed.
  void changed();

 private:
  enum class Watching { Add, Remove };
  /// `kind` names what to do with the row; its identity is filled in here.
  void request(PendingKill kind, Confirmation confirmation);
  void moveSelection(int delta);
  KeyResult handleReturn();
  KeyResult handleEscape();
  void setWatched(int64_t port, Watching watching);

  PanelState& state_;
  Seams seams_;

  std::optional<std::string> selection_;
  std::optional<PendingKill> pendingKill_;
  std::optional<int64_t> editingLabelPort_;
  std::string labelDraft_;
};
