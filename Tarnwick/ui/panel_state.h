#pragma once
// The panel's state, knowing no widgets: the scanned entries and what was
// learnt about them (through the PanelRefresher's loops), the settings, the
// derived lists, and the rows the ActionRunner's outcomes change. The
// PanelController, which handles what the user does, is handed this state.
// Everything here runs on the GUI thread; slow work goes through the
// environment's background executor and comes back through its GUI executor.
#include "core/records/port_entry.h"
#include "core/stats/stats.h"
#include "core/system/clock.h"
#include "integrations/docker.h"
#include "integrations/panel_settings.h"
#include "integrations/port_labels.h"
#include "integrations/stored_values.h"
#include "ui/action_runner.h"
#include "ui/panel_refresher.h"
#include "ui/panel_rows.h"
#include "ui/panel_seams.h"
#include "ui/pending_kill.h"
#include "ui/task_executor.h"
#include "ui/tray_menu.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

/// What the model runs on. The real one (see Panel) is the event loop, the
/// application's pool, a pool of its own for actions, QTimers and the
/// system clock.
struct PanelStateSeams {
  PanelSeams seams;
  std::shared_ptr<Executor> gui;
  std::shared_ptr<Executor> background;  ///< scans, statistics, docker
  /// Stops, restarts and container stops: never queued behind background work.
  std::shared_ptr<Executor> actions;
  std::shared_ptr<Scheduler> scheduler;
  const Clock* clock = nullptr;  ///< must outlive the model
};

class PanelState : public QObject {
  Q_OBJECT

 public:
  explicit PanelState(const PanelStateSeams& environment, QObject* parent = nullptr);
  ~PanelState() override;

  // View state.
  const std::vector<PortEntry>& entries() const { return entries_; }
  /// The process `pid` was at the latest scan; absent when it had gone.
  std::optional<ProcessIdentity> identityOf(int32_t pid) const;
  bool loaded() const { return loaded_; }
  bool showSettings() const { return showSettings_; }
  void setShowSettings(bool shown);
  bool startAtLogin() const { return startAtLogin_; }
  /// Enables or disables start at login, only when the value changes.
  void setStartAtLogin(bool enabled);
  const QString& searchText() const { return searchText_; }
  void setSearchText(const QString& text);
  const std::map<int64_t, bool>& health() const { return refresher_->health(); }
  const StatsMap& stats() const { return stats_; }
  bool exposedOnly() const { return exposedOnly_; }
  void setExposedOnly(bool only);
  bool isWatched(int64_t port) const { return watched_.contains(port); }
  /// The editor a folder opens in, once the background lookup has found it.
  const std::optional<std::string>& editorName() const { return editorName_; }
  /// What the row of a failed or refused action shows, while it does.
  const std::optional<ActionRunner::Notice>& notice() const { return runner_->notice(); }
  /// Takes the notice away before its time; false when none shows.
  bool dismissNotice() { return runner_->dismissNotice(); }

  // Settings, read again whenever the store says it changed (from here or
  // from outside); a new refresh interval restarts a running refresh loop.
  double panelMaxHeight() const { return settings_.panelMaxHeight; }
  void setPanelMaxHeight(double points);
  bool confirmBeforeKill() const { return settings_.confirmBeforeKill; }
  void setConfirmBeforeKill(bool confirm);
  double refreshInterval() const { return settings_.refreshInterval; }
  void setRefreshInterval(double seconds);
  void setHiddenPortsRaw(const QString& raw);
  void hidePort(int64_t port);
  QString appLanguage() const { return QString::fromStdString(settings_.appLanguage); }
  void setAppLanguage(const QString& language);
  /// Reads the settings, labels and watched ports again, after a write
  /// that should show before the store's own signal arrives.
  void applyStores();

  // Derived lists.
  std::set<int64_t> hiddenPorts() const;
  /// What the panel lists now: panelRows() of this state.
  PanelRows rows() const;
  /// The listed entries in the order rows are shown and walked.
  std::vector<PortEntry> orderedRows() const;
  /// What the item's menu is built from: the whole scan, whatever the panel's
  /// search or filter.
  TrayMenuInputs trayMenuInputs() const;

  // Loops and sampling, run by the refresher; a result older than what is
  // shown is dropped.
  /// Both loops run exactly while the panel is shown.
  void setVisibility(PanelVisibility visibility);
  /// A scan taken while the panel is closed, so that the item's menu lists
  /// what listens now; dropped while the panel is shown, whose own loop is newer.
  void applyPolledScan(PortCore::PortScan scan, ContainerMap containers);
  /// Starts one refresh and returns; its results arrive on the GUI thread.
  void refresh() { refresher_->refresh(); }
  /// One CPU and memory sample of the listed processes, as the live loop takes.
  void liveStatsTick() { refresher_->sampleStats(); }

  /// Hands a decided stop to the runner, with the container the row showed.
  /// A process that is no longer the one listed loses its row at once; then
  /// the ports are scanned again.
  void perform(const PendingKill& request);

 signals:
  /// Anything the panel shows changed.
  void changed();

 private:
  void loadStores();
  void applyFresh(const PanelRefresher::Fresh& fresh);
  void applyScan(PortCore::PortScan scan);
  void applyFinished(const ActionRunner::Finished& finished);
  void applyNotice();
  void listEntries();

  PanelStateSeams env_;
  PanelSettings settings_;
  Preferences::Subscription storeSubscription_ = 0;
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);

  std::vector<PortEntry> entries_;
  ProcessTable holders_;
  bool loaded_ = false;
  bool showSettings_ = false;
  bool startAtLogin_ = false;
  QString searchText_;
  ContainerMap dockerNames_;
  StatsMap stats_;
  bool exposedOnly_ = false;
  PanelVisibility visibility_ = PanelVisibility::Closed;
  LabelMap labels_;
  std::set<int64_t> watched_;
  std::optional<std::string> editorName_;

  std::unique_ptr<PanelRefresher> refresher_;
  std::unique_ptr<ActionRunner> runner_;
};
