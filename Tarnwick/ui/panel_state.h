#pragma once
// The panel's state, knowing no widgets: the scanned entries and what was
// learnt about them (through the PanelRefresher's loops), the settings, the
// derived lists, and the outcome of the stops its PanelController asks for,
// which handles what the user does. Everything here
// runs on the GUI thread; slow work goes through the environment's background
// executor and comes back through its GUI executor.
#include "core/records/port_entry.h"
#include "core/stats/stats.h"
#include "core/system/clock.h"
#include "integrations/docker.h"
#include "integrations/port_labels.h"
#include "integrations/stored_values.h"
#include "integrations/text_format.h"
#include "ui/panel_controller.h"
#include "ui/panel_refresher.h"
#include "ui/panel_rows.h"
#include "ui/panel_services.h"
#include "ui/pending_kill.h"
#include "ui/row_state.h"
#include "ui/task_executor.h"
#include "ui/tray_menu.h"

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

/// What the model runs on. The real one (PanelState(QObject*, services,
/// background)) is the event loop, the given pool, a pool of its own for
/// actions, QTimers and the system clock.
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
  static constexpr SettingRange kPanelMaxHeightRange{240, 800, 480};
  double panelMaxHeight = kPanelMaxHeightRange.fallback;
  bool confirmBeforeKill = true;
  /// Seconds between refreshes. Half a second keeps a scan from running back
  /// to back; an hour keeps the pause well inside a Qt timer's int milliseconds.
  static constexpr SettingRange kRefreshIntervalRange{0.5, 3600, 3};
  double refreshInterval = kRefreshIntervalRange.fallback;
  QString hiddenPortsRaw;
  QString appLanguage = QStringLiteral("system");

  static PanelSettings read(const Preferences& store);
  bool operator==(const PanelSettings&) const = default;
};

class PanelState : public QObject {
  Q_OBJECT

 public:
  /// The real environment over `services`, its slow lookups on `background`.
  PanelState(QObject* parent, std::shared_ptr<PanelServices> services, std::shared_ptr<Executor> background);
  explicit PanelState(PanelEnvironment environment, QObject* parent = nullptr);
  ~PanelState() override;

  // View state.
  const std::vector<PortEntry>& entries() const { return entries_; }
  /// The records of the listed processes, from the same scan as entries().
  const ProcessTable& holders() const { return holders_; }
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
  /// Selection, confirmation, the label editor, keys and row actions.
  PanelController& controller() { return *controller_; }
  const PanelController& controller() const { return *controller_; }

  // Settings, read again whenever the store says it changed (from here or
  // from outside); a new refresh interval restarts a running refresh loop.
  double panelMaxHeight() const { return settings_.panelMaxHeight; }
  void setPanelMaxHeight(double points);
  bool confirmBeforeKill() const { return settings_.confirmBeforeKill; }
  void setConfirmBeforeKill(bool confirm);
  double refreshInterval() const { return settings_.refreshInterval; }
  void setRefreshInterval(double seconds);
  void setHiddenPortsRaw(const QString& raw);
  QString appLanguage() const { return settings_.appLanguage; }
  void setAppLanguage(const QString& language);

  // Derived lists.
  std::set<int64_t> hiddenPorts() const;
  /// What the panel lists now: panelRows() of this state.
  PanelRows rows() const;
  /// The listed entries in the order rows are shown and walked.
  std::vector<PortEntry> orderedRows() const;
  /// What the widget of `row` (one of rows()) shows: the row's facts, with
  /// the controller's selection, confirmation and label editor, the watch
  /// mark and any notice.
  RowState rowState(const PanelRow& row) const;
  /// What the item's menu is built from: the whole scan, whatever the panel's
  /// search or filter.
  TrayMenuInputs trayMenuInputs() const;

  // Loops and sampling, run by the refresher; a result older than what is
  // shown is dropped.
  /// Both loops run exactly while the panel is shown.
  void setPanelShown(bool shown);
  /// A scan taken while the panel is closed, so that the item's menu lists
  /// what listens now; dropped while the panel is shown, whose own loop is newer.
  void applyPolledScan(PortCore::PortScan scan, ContainerMap containers);
  /// Starts one refresh and returns; its results arrive on the GUI thread.
  void refresh() { refresher_->refresh(); }
  /// One CPU and memory sample of the listed processes, as the live loop takes.
  void liveStatsTick() { refresher_->sampleStats(); }

  /// What the controller's stops come to: carries out `request` on the
  /// actions executor, then re-scans. A process that is no longer the one
  /// listed loses its row at once; a refusal or failure shows on the row for
  /// kNoticeDuration, and as a desktop notification while the panel is closed.
  void perform(const PendingKill& request);
  static constexpr std::chrono::milliseconds kNoticeDuration{4000};
  /// A restart that worked is watched this long for a new holder of its port;
  /// without one the row says so, with the relaunch's log, for kNotBackDuration.
  static constexpr std::chrono::milliseconds kRestartWait{15000};
  static constexpr std::chrono::milliseconds kNotBackDuration{10000};

 signals:
  /// Anything the panel shows changed.
  void changed();

 private:
  void loadStores();
  void startRefresher();
  /// Reads the settings, labels and watched ports again.
  void applyStores();
  void startController();
  void hidePort(int64_t port);
  void applyFresh(PanelRefresher::Fresh fresh);
  void applyScan(PortCore::PortScan scan);
  void applyOutcome(const PendingKill& request, ActionOutcome outcome, const std::optional<std::string>& log);
  void showNotice(const PortEntry& entry, std::string key, std::vector<FormatArg> arguments = {},
                  std::chrono::milliseconds duration = kNoticeDuration);
  void clearNotice();
  void watchRestart(const PendingKill& request, const std::optional<std::string>& log);
  void scheduleLook(int64_t port);
  void lookForRestarted(int64_t port);
  void lookedForRestarted(int64_t port, bool back);
  void restartNotBack(int64_t port);

  PanelEnvironment env_;
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
  bool panelShown_ = false;
  LabelMap labels_;
  std::set<int64_t> watched_;

  std::unique_ptr<PanelRefresher> refresher_;
  std::unique_ptr<PanelController> controller_;

  struct Notice {
    PortEntry entry;  ///< kept listed while the notice shows, even if a scan drops it
    std::string key;
    std::vector<FormatArg> arguments;
    Scheduler::TimerId timer;
  };
  std::optional<Notice> notice_;

  /// A restarted port being watched, by port: one look per interval on the
  /// background executor, so no worker is held while it waits.
  struct RestartWatch {
    PortEntry entry;  ///< the row as it was, shown again if the port does not come back
    ProcessIdentity former;
    std::optional<std::string> log;
    Scheduler::TimerId giveUp;
    std::optional<Scheduler::TimerId> nextLook;
  };
  std::map<int64_t, RestartWatch> restartWatches_;
};
