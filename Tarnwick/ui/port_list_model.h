#pragma once
// The panel's state and rules, knowing no widgets: the scanned entries and what
// was learnt about them (through the PanelRefresher's loops), the derived
// lists, keys, kill confirmation, labels, watching and hiding. Everything here
// runs on the GUI thread; slow work goes through the environment's background
// executor and comes back through its GUI executor.
#include "core/records/port_entry.h"
#include "core/stats/stats.h"
#include "core/system/clock.h"
#include "integrations/docker.h"
#include "integrations/port_labels.h"
#include "ui/panel_refresher.h"
#include "ui/panel_rows.h"
#include "ui/panel_services.h"
#include "ui/pending_kill.h"
#include "ui/row_state.h"
#include "ui/task_executor.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

/// What the model runs on. The real one (PortListModel(QObject*, services)) is
/// the event loop, a thread pool, QTimers and the system clock.
struct PanelEnvironment {
  std::shared_ptr<PanelServices> services;
  std::shared_ptr<Executor> gui;
  std::shared_ptr<Executor> background;  ///< scans, statistics, docker
  /// Stops, restarts and container stops: never queued behind background work.
  std::shared_ptr<Executor> actions;
  std::shared_ptr<Scheduler> scheduler;
  const Clock* clock = nullptr;  ///< must outlive the model
};

/// The panel's stored settings as typed values, read whole from the store;
/// missing or out-of-range values read as their defaults.
struct PanelSettings {
  double panelMaxHeight = 480;
  bool confirmBeforeKill = true;
  double refreshInterval = 3;  ///< seconds between refreshes
  QString hiddenPortsRaw;
  QString appLanguage = QStringLiteral("system");

  static PanelSettings read(const Preferences& store);
  bool operator==(const PanelSettings&) const = default;
};

enum class KeyResult { Handled, Ignored };

class PortListModel : public QObject {
  Q_OBJECT

 public:
  /// The real environment over `services`.
  PortListModel(QObject* parent, std::shared_ptr<PanelServices> services);
  explicit PortListModel(PanelEnvironment environment, QObject* parent = nullptr);
  ~PortListModel() override;

  // View state.
  const std::vector<PortEntry>& entries() const { return entries_; }
  /// The start time of each listed PID, from the same scan as entries().
  const StartTimes& startTimes() const { return startTimes_; }
  bool loaded() const { return loaded_; }
  bool showSettings() const { return showSettings_; }
  void setShowSettings(bool shown);
  const std::optional<PendingKill>& pendingKill() const { return pendingKill_; }
  bool startAtLogin() const { return startAtLogin_; }
  /// Enables or disables start at login, only when the value changes.
  void setStartAtLogin(bool enabled);
  const QString& searchText() const { return searchText_; }
  void setSearchText(const QString& text);
  const std::optional<std::string>& selection() const { return selection_; }
  /// Selects the row with `id` (PID:port); absent clears the selection.
  void setSelection(const std::optional<std::string>& id);
  const std::map<int64_t, bool>& health() const { return refresher_->health(); }
  const ContainerMap& dockerNames() const { return dockerNames_; }
  const StatsMap& stats() const { return stats_; }
  bool exposedOnly() const { return exposedOnly_; }
  void setExposedOnly(bool only);
  const LabelMap& labels() const { return labels_; }
  const std::set<int64_t>& watched() const { return watched_; }
  const std::optional<int64_t>& editingLabelPort() const { return editingLabelPort_; }
  const QString& labelDraft() const { return labelDraft_; }
  void setLabelDraft(const QString& draft);

  // Settings, read again whenever the store says it changed (from here or
  // from outside); a new refresh interval restarts a running refresh loop.
  const PanelSettings& settings() const { return settings_; }
  double panelMaxHeight() const { return settings_.panelMaxHeight; }
  void setPanelMaxHeight(double points);
  bool confirmBeforeKill() const { return settings_.confirmBeforeKill; }
  void setConfirmBeforeKill(bool confirm);
  double refreshInterval() const { return settings_.refreshInterval; }
  void setRefreshInterval(double seconds);
  QString hiddenPortsRaw() const { return settings_.hiddenPortsRaw; }
  void setHiddenPortsRaw(const QString& raw);
  QString appLanguage() const { return settings_.appLanguage; }
  void setAppLanguage(const QString& language);

  // Derived lists.
  std::set<int64_t> hiddenPorts() const;
  /// What the panel lists now: panelRows() of this state.
  PanelRows rows() const;
  /// The listed entries in the order rows are shown and walked.
  std::vector<PortEntry> orderedRows() const;
  RowState rowInputs(const PortEntry& entry) const;

  // Loops and sampling, run by the refresher; a result older than what is
  // shown is dropped.
  /// Both loops run exactly while the panel is shown.
  void setPanelShown(bool shown);
  bool panelShown() const { return panelShown_; }
  /// Starts one refresh and returns; its results arrive on the GUI thread.
  void refresh() { refresher_->refresh(); }
  /// One CPU and memory sample of the listed processes; `done` runs when it
  /// has landed (at once when nothing is listed).
  void liveStatsTick(std::function<void()> done = {}) { refresher_->sampleStats(std::move(done)); }

  // Keys.
  void moveSelection(int delta);
  KeyResult handleReturn();
  KeyResult handleEscape();

  // Kill requests and their confirmation.
  void requestKill(const PortEntry& entry);
  void requestKillTree(const PortEntry& entry);
  void requestForceKill(const PortEntry& entry);
  void requestRestart(const PortEntry& entry);
  void confirmPending();
  void cancelPending();
  /// Carries out `request` on the actions executor, then re-scans. A process
  /// that is no longer the one listed loses its row at once; a refusal or
  /// failure shows on the row for kNoticeDuration.
  void perform(const PendingKill& request);
  static constexpr std::chrono::milliseconds kNoticeDuration{4000};

  // Per-port actions.
  void toggleWatch(int64_t port);
  void startLabelEdit(int64_t port);
  void commitLabelEdit(int64_t port);
  void hidePort(int64_t port);

 signals:
  /// Any state changed; the finer signals below say which part.
  void changed();
  /// entries, dockerNames or loaded.
  void entriesChanged();
  void statsChanged();
  void healthChanged();
  /// selection, pendingKill, labels, watched, or the label editor.
  void rowStatesChanged();
  /// searchText, exposedOnly or hidden ports: the listed rows.
  void filterChanged();
  /// The stored settings, showSettings or startAtLogin.
  void settingsChanged();
  void labelDraftChanged();

 private:
  enum Change : unsigned {
    Entries = 1,
    Stats = 2,
    Health = 4,
    RowStates = 8,
    Filter = 16,
    Settings = 32,
    LabelDraft = 64,
  };
  void loadStores();
  void startRefresher();
  /// Reads the settings, labels and watched ports again; tells what changed.
  void applyStores();
  void notify(unsigned changes);
  void request(const PortEntry& entry, bool tree, bool force, bool restart);
  void request(const PendingKill& request);
  void applyFresh(PanelRefresher::Fresh fresh);
  void applyScan(PortCore::PortScan scan);
  void applyOutcome(const PendingKill& request, ActionOutcome outcome);
  void showNotice(const PortEntry& entry, std::string key);

  PanelEnvironment env_;
  PanelSettings settings_;
  Preferences::Subscription storeSubscription_ = 0;
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);

  std::vector<PortEntry> entries_;
  StartTimes startTimes_;
  bool loaded_ = false;
  bool showSettings_ = false;
  std::optional<PendingKill> pendingKill_;
  bool startAtLogin_ = false;
  QString searchText_;
  std::optional<std::string> selection_;
  ContainerMap dockerNames_;
  StatsMap stats_;
  bool exposedOnly_ = false;
  LabelMap labels_;
  std::set<int64_t> watched_;
  std::optional<int64_t> editingLabelPort_;
  QString labelDraft_;

  bool panelShown_ = false;
  std::unique_ptr<PanelRefresher> refresher_;

  struct Notice {
    PortEntry entry;  ///< kept listed while the notice shows, even if a scan drops it
    std::string key;
    Scheduler::TimerId timer;
  };
  std::optional<Notice> notice_;
};
