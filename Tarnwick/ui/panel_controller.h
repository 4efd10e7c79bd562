#pragma once
// What the user does in the panel, knowing no widgets: the selection, a stop
// waiting for confirmation, the label editor, the keys and the row menu's
// actions. It reads the listed rows from the panel and writes through the
// panel's services; everything here runs on the GUI thread.
#include "core/scan/processes.h"
#include "core/records/port_entry.h"
#include "ui/panel_services.h"
#include "ui/pending_kill.h"
#include "ui/row_menu.h"
#include "ui/task_executor.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class PanelKey { Up, Down, Return, Escape };
/// Handled: the key did something, and goes no further.
enum class KeyResult { Handled, Ignored };
/// Given: the user has confirmed a stop already (in the item's menu).
enum class Confirmation { Ask, Given };

class PanelController {
 public:
  /// What the controller reads from the panel and asks of it.
  struct Panel {
    std::function<std::vector<PortEntry>()> orderedRows;  ///< as shown and walked
    /// The process `pid` was at the latest scan; absent when it had gone.
    std::function<std::optional<ProcessIdentity>(int32_t pid)> identityOf;
    std::function<bool()> confirmBeforeKill;
    /// Empties the search; false when it was empty.
    std::function<bool()> clearSearch;
    /// Takes away a row's notice before its time; false when none shows.
    std::function<bool()> dismissNotice;
    std::function<void(const PendingKill&)> perform;
    std::function<void(int64_t port)> hidePort;
    /// Labels or watched ports were written: the panel reads them again.
    std::function<void()> storesWritten;
    /// Anything the rows show changed.
    std::function<void()> changed;
  };

  /// Looks the editor's name up once on `background`; it lands through `gui`.
  PanelController(std::shared_ptr<PanelServices> services, std::shared_ptr<Executor> gui,
                  std::shared_ptr<Executor> background, Panel panel);

  const std::optional<std::string>& selection() const { return selection_; }
  /// Selects the row with `id` (PID:port); absent clears the selection.
  void select(const std::optional<std::string>& id);
  const std::optional<PendingKill>& pendingKill() const { return pendingKill_; }
  const std::optional<int64_t>& editingLabelPort() const { return editingLabelPort_; }
  const std::string& labelDraft() const { return labelDraft_; }
  const std::optional<std::string>& editorName() const { return editorName_; }

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

 private:
  void request(const PortEntry& entry, bool tree, bool force, bool restart, Confirmation confirmation);
  void moveSelection(int delta);
  KeyResult handleReturn();
  KeyResult handleEscape();
  void setWatched(int64_t port, bool watched);

  std::shared_ptr<PanelServices> services_;
  std::shared_ptr<Executor> background_;
  Panel panel_;
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);

  std::optional<std::string> selection_;
  std::optional<PendingKill> pendingKill_;
  std::optional<int64_t> editingLabelPort_;
  std::string labelDraft_;
  std::optional<std::string> editorName_;
};
