#pragma once
// What the panel reaches of the system, split by what it is for: the scans
// and probes its refresh takes, the actions on processes, the stores it
// writes through, and the desktop around it. Each has one real
// implementation (real_panel_seams.h) and a recording one in the tests.
#include "core/process/process_control.h"
#include "core/records/port_entry.h"
#include "core/scan/port_watch.h"
#include "core/scan/scan.h"
#include "core/stats/stats.h"
#include "integrations/docker.h"
#include "integrations/port_labels.h"
#include "integrations/preferences.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

/// What a refresh reads. Each call blocks, so none runs on the GUI thread.
class PanelScans {
 public:
  virtual ~PanelScans() = default;
  virtual PortCore::PortScan scanPorts() = 0;
  virtual ContainerMap containerPorts() = 0;
  virtual StatsMap stats(const std::vector<int32_t>& pids) = 0;
  /// Starts an HTTP probe and returns at once; `done` runs on any thread.
  virtual void probe(int64_t port, std::function<void(bool)> done) = 0;
};

/// The actions on what a row listed. Each acts on the process that was
/// listed, or on nothing; each blocks, so none runs on the GUI thread.
class ProcessActions {
 public:
  virtual ~ProcessActions() = default;
  virtual ActionOutcome killProcess(const ProcessIdentity& target, Force force) = 0;
  virtual ActionOutcome killTree(const ProcessIdentity& leaf) = 0;
  /// Its output goes to `log` (see restartLog).
  virtual ActionOutcome restartTree(const ProcessIdentity& leaf, const std::optional<std::string>& log) = 0;
  /// Where a relaunch of `port`'s holder writes, its folder made; absent when
  /// there is none.
  virtual std::optional<std::string> restartLog(int64_t port) = 0;
  /// One look: who holds `port` now, other than `former`; absent when nobody.
  virtual std::optional<PortHolder> portHolder(int64_t port, const PortCore::FormerHolders& former) = 0;
  virtual void dockerStop(const std::string& name) = 0;
};

enum class LoginStart { Off, On };

/// The stores the panel reads and writes: quick, on the GUI thread.
class PanelStores {
 public:
  virtual ~PanelStores() = default;
  /// The store the panel's settings live in; it outlives the seam.
  virtual Preferences& preferences() = 0;
  virtual std::set<int64_t> watched() = 0;
  virtual void setWatched(const std::set<int64_t>& ports) = 0;
  virtual LabelMap labels() = 0;
  /// A blank label removes the port's label.
  virtual void setLabel(const std::optional<std::string>& label, int64_t port) = 0;
  virtual bool startsAtLogin() = 0;
  virtual void setStartAtLogin(LoginStart start) = 0;
};

/// The desktop around the panel.
class PanelDesktop {
 public:
  virtual ~PanelDesktop() = default;
  /// The editor a folder opens in, or the file manager's name without one:
  /// searches the system, so never on the GUI thread.
  virtual std::string editorName() = 0;
  /// Opens `path` in that editor; returns without waiting for it. Never on
  /// the GUI thread.
  virtual void openInEditor(const std::string& path) = 0;
  virtual void copyText(const std::string& text) = 0;
  virtual void openUrl(const std::string& url) = 0;
  /// The number of dev ports shown in the tray (see DevCount::of).
  virtual void setDevCount(int count) = 0;
  /// Tells the user, as a desktop notification, what came of an action on
  /// `port`; `key` names the text.
  virtual void notifyOutcome(int64_t port, const std::string& key) = 0;
};

struct PanelSeams {
  std::shared_ptr<PanelScans> scans;
  std::shared_ptr<ProcessActions> actions;
  std::shared_ptr<PanelStores> stores;
  std::shared_ptr<PanelDesktop> desktop;
};
