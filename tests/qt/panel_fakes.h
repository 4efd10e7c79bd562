#pragma once
// Stand-ins for the panel's environment: executors and timers the test steps
// by hand, and seams that record what the panel asked for.
#include "integrations/preferences.h"
#include "ui/owner_icon.h"
#include "ui/panel.h"
#include "ui/panel_seams.h"
#include "ui/task_executor.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

/// Holds posted tasks until the test runs them.
class QueueExecutor final : public Executor {
 public:
  void post(Task task) override { tasks_.push_back(std::move(task)); }
  size_t size() const { return tasks_.size(); }
  /// Runs the task at `index` of those waiting now.
  void runAt(size_t index) {
    Task task = std::move(tasks_.at(index));
    tasks_.erase(tasks_.begin() + static_cast<std::ptrdiff_t>(index));
    task();
  }
  /// Runs tasks, including those they post, until none is left.
  void drain() { while (!tasks_.empty()) runAt(0); }

 private:
  std::deque<Task> tasks_;
};

/// Timers on a virtual time line that moves only in advance().
class ManualScheduler final : public Scheduler {
 public:
  TimerId schedule(std::chrono::milliseconds delay, Task task) override {
    timers_.emplace(now_ + delay, std::pair(nextId_, std::move(task)));
    return nextId_++;
  }
  void cancel(TimerId id) override { std::erase_if(timers_, [id](const auto& t) { return t.second.first == id; }); }
  size_t pending() const { return timers_.size(); }
  /// Moves time on by `by`, firing due timers in order of their due time, and
  /// those due at once in the order they were set.
  void advance(std::chrono::milliseconds by) {
    const auto target = now_ + by;
    while (!timers_.empty() && timers_.begin()->first <= target) {
      auto timer = timers_.extract(timers_.begin());
      now_ = timer.key();
      timer.mapped().second();
    }
    now_ = target;
  }

 private:
  std::chrono::milliseconds now_{0};
  TimerId nextId_ = 1;
  std::multimap<std::chrono::milliseconds, std::pair<TimerId, Task>> timers_;
};

/// Every seam of the panel at once, answering from fields the test sets, with
/// one log of every call that acts, in the order the seams were asked.
class FakeSeams : public PanelScans, public ProcessActions, public PanelStores, public PanelDesktop {
 public:
  std::vector<PortEntry> ports;
  /// The start time the scan reports for every process.
  uint64_t startTime = 1;
  /// What every stop, tree stop and restart answers.
  ActionOutcome outcome = ActionOutcome::Done;
  /// The identities the actions were aimed at, in order.
  std::vector<ProcessIdentity> targets;
  ContainerMap containers;
  std::set<int64_t> storedWatched;
  LabelMap storedLabels;
  std::vector<std::string> log;
  int scans = 0, holderLooks = 0;
  std::vector<std::optional<std::string>> restartLogs;
  MemoryPreferences store;
  PortCore::PortScan scanPorts() override {
    ++scans;
    PortCore::PortScan scan{ports, {}};
    for (const PortEntry& e : ports) scan.holders[e.pid].startTime = startTime;
    return scan;
  }
  ContainerMap containerPorts() override { return containers; }
  StatsMap stats(const std::vector<int32_t>&) override { return {}; }
  ActionOutcome killProcess(const ProcessIdentity& target, Force force) override {
    return act(force == Force::Yes ? "forceKill" : "kill", target);
  }
  ActionOutcome killTree(const ProcessIdentity& leaf) override { return act("killTree", leaf); }
  ActionOutcome restartTree(const ProcessIdentity& leaf, const std::optional<std::string>& log) override {
    restartLogs.push_back(log);
    return act("restart", leaf);
  }
  std::optional<std::string> restartLog(int64_t port) override {
    return "/state/tarnwick/restart-" + std::to_string(port) + ".log";
  }
  /// Any listed holder of the port other than the former one.
  std::optional<PortHolder> portHolder(int64_t port, const PortCore::FormerHolders& former) override {
    ++holderLooks;
    for (const PortEntry& e : ports)
      if (e.port == port && std::none_of(former.begin(), former.end(), [&](auto& f) { return f.pid == e.pid; }))
        return PortHolder{{e.pid, 1}, e.command};
    return std::nullopt;
  }
  void dockerStop(const std::string& name) override { log.push_back("dockerStop " + name); }
  std::string editorName() override { return "Visual Studio Code"; }
  void openInEditor(const std::string& path) override { log.push_back("openInEditor " + path); }
  void probe(int64_t, std::function<void(bool)>) override {}
  Preferences& preferences() override { return store; }
  std::set<int64_t> watched() override { return storedWatched; }
  void setWatched(const std::set<int64_t>& set) override { storedWatched = set; }
  LabelMap labels() override { return storedLabels; }
  void setLabel(const std::optional<std::string>& label, int64_t port) override {
    storedLabels[std::to_string(port)] = label.value_or("");
  }
  bool startsAtLogin() override { return false; }
  void setStartAtLogin(LoginStart) override {}
  void setDevCount(int) override {}
  void copyText(const std::string& text) override { log.push_back("copy " + text); }
  void openUrl(const std::string& url) override { log.push_back("openUrl " + url); }
  void notifyOutcome(int64_t port, const std::string& key) override {
    log.push_back("notify " + std::to_string(port) + " " + key);
  }

  ActionOutcome act(const std::string& what, const ProcessIdentity& target) {
    log.push_back(what + " " + std::to_string(target.pid));
    targets.push_back(target);
    return outcome;
  }
};

/// A panel on fakes, with the fakes at hand.
struct PanelFixture {
  std::shared_ptr<FakeSeams> fakes = std::make_shared<FakeSeams>();
  std::shared_ptr<QueueExecutor> gui = std::make_shared<QueueExecutor>();
  std::shared_ptr<QueueExecutor> background = std::make_shared<QueueExecutor>();
  std::shared_ptr<QueueExecutor> actions = std::make_shared<QueueExecutor>();
  std::shared_ptr<ManualScheduler> scheduler = std::make_shared<ManualScheduler>();
  ManualClock clock;
  /// Looked up in the background like the real ones; every answer is the generic icon.
  OwnerIconCache icons{[](int32_t) { return QStringList(); }, background, gui};

  std::unique_ptr<Panel> makeModel() {
    return std::make_unique<Panel>(
        PanelStateSeams{{fakes, fakes, fakes, fakes}, gui, background, actions, scheduler, &clock});
  }
  /// A panel that has applied one scan of `entries`; the scan is not counted.
  std::unique_ptr<Panel> modelWith(std::vector<PortEntry> entries) {
    fakes->ports = std::move(entries);
    auto model = makeModel();
    model->state().refresh();
    settle();
    fakes->scans = 0;
    return model;
  }
  /// Moves the timers' clock on by `by`, then settles what they started.
  void advance(std::chrono::milliseconds by) {
    scheduler->advance(by);
    settle();
  }
  /// Runs all background work and actions, then everything they handed to
  /// the GUI thread.
  void settle() {
    while (background->size() || actions->size() || gui->size()) {
      actions->drain();
      background->drain();
      gui->drain();
    }
  }
};

/// An entry owned by an ordinary user, with no chain and no project.
inline PortEntry makeEntry(int64_t port, int32_t pid = 0, std::string command = "node",
                           std::string address = "127.0.0.1", std::string user = "alice") {
  pid = pid ? pid : static_cast<int32_t>(port) + 10000;
  return {port, std::move(address), pid, std::move(command), std::move(user), {}, pid, {}, {}};
}

/// The state the view would give `entry`'s row; empty when it is not listed.
inline RowState rowStateOf(const Panel& panel, const PortEntry& entry) {
  for (const PanelRow& row : panel.state().rows().ordered())
    if (row.entry.id() == entry.id()) return panel.controller().rowState(row);
  return {};
}
