#pragma once
// Everything the panel asks of the system, in one seam: the scan, docker,
// statistics, probes, process control and the stores the panel writes through.
// Tests record the calls; RealPanelServices reaches the real operations.
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
#include <optional>
#include <set>
#include <string>
#include <vector>

class PanelServices {
 public:
  virtual ~PanelServices() = default;

  // Called in the background: each blocks.
  virtual PortCore::PortScan scanPorts() = 0;
  virtual ContainerMap containerPorts() = 0;
  virtual StatsMap stats(const std::vector<int32_t>& pids) = 0;
  // Actions: each acts on the process that was listed, or on nothing.
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
  /// The editor a folder opens in, or the file manager's name without one:
  /// searches the system, so never on the GUI thread.
  virtual std::string editorName() = 0;
  /// Opens `path` in that editor; returns without waiting for it.
  virtual void openInEditor(const std::string& path) = 0;

  /// Starts an HTTP probe and returns at once; `done` runs on any thread.
  virtual void probe(int64_t port, std::function<void(bool)> done) = 0;

  // Called on the GUI thread: quick reads and writes of stores, the clipboard
  // and the browser.
  /// The store the panel's settings live in; it outlives the services.
  virtual Preferences& preferences() = 0;
  virtual std::set<int64_t> watched() = 0;
  virtual void setWatched(const std::set<int64_t>& ports) = 0;
  virtual LabelMap labels() = 0;
  /// A blank label removes the port's label.
  virtual void setLabel(const std::optional<std::string>& label, int64_t port) = 0;
  virtual bool startsAtLogin() = 0;
  virtual void enableStartAtLogin() = 0;
  virtual void disableStartAtLogin() = 0;
  /// The number of dev ports shown in the tray (see DevCount::of).
  virtual void setDevCount(int count) = 0;
  virtual void copyText(const std::string& text) = 0;
  virtual void openUrl(const std::string& url) = 0;
  /// Tells the user, as a desktop notification, what came of an action on
  /// `port`; `key` names the text.
  virtual void notifyOutcome(int64_t port, const std::string& key) = 0;
};

class AppContext;

/// The real operations, on the state that `context` owns; it must outlive
/// the services.
class RealPanelServices : public PanelServices {
 public:
  explicit RealPanelServices(AppContext& context) : context_(context) {}

  PortCore::PortScan scanPorts() override;
  ContainerMap containerPorts() override;
  StatsMap stats(const std::vector<int32_t>& pids) override;
  ActionOutcome killProcess(const ProcessIdentity& target, Force force) override;
  ActionOutcome killTree(const ProcessIdentity& leaf) override;
  ActionOutcome restartTree(const ProcessIdentity& leaf, const std::optional<std::string>& log) override;
  std::optional<std::string> restartLog(int64_t port) override;
  std::optional<PortHolder> portHolder(int64_t port, const PortCore::FormerHolders& former) override;
  void dockerStop(const std::string& name) override;
  std::string editorName() override;
  void openInEditor(const std::string& path) override;
  void probe(int64_t port, std::function<void(bool)> done) override;
  Preferences& preferences() override;
  std::set<int64_t> watched() override;
  void setWatched(const std::set<int64_t>& ports) override;
  LabelMap labels() override;
  void setLabel(const std::optional<std::string>& label, int64_t port) override;
  bool startsAtLogin() override;
  void enableStartAtLogin() override;
  void disableStartAtLogin() override;
  void setDevCount(int count) override;
  void copyText(const std::string& text) override;
  void openUrl(const std::string& url) override;
  void notifyOutcome(int64_t port, const std::string& key) override;

 private:
  AppContext& context_;
};
