#pragma once
// The panel's background rounds: the refresh loop, the live statistics loop,
// probes with their back-off, and the rescan after an action. Each round gets
// a generation number when it starts; a result older than the one already
// shown is dropped, so the panel never goes back in time however late a
// round lands. Runs on the GUI thread; the work itself goes to `background`.
// What a round brings is handed on as a value through a signal.
#include "core/scan/scan.h"
#include "core/stats/stats.h"
#include "core/system/clock.h"
#include "integrations/docker.h"
#include "ui/panel_seams.h"
#include "ui/task_executor.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class PanelRefresher : public QObject {
  Q_OBJECT

 public:
  /// What a round brought that is newer than what is shown; stale parts are absent.
  struct Fresh {
    std::optional<PortCore::PortScan> scan;
    std::optional<ContainerMap> docker;  ///< with a refresh's scan, not a rescan's
    std::optional<StatsMap> stats;
  };
  struct Seams {
    std::shared_ptr<PanelScans> scans;
    std::shared_ptr<Executor> gui;
    std::shared_ptr<Executor> background;
    std::shared_ptr<Scheduler> scheduler;
    const Clock* clock = nullptr;
  };

  PanelRefresher(Seams seams, std::chrono::milliseconds interval, QObject* parent = nullptr);
  ~PanelRefresher() override;
  PanelRefresher(const PanelRefresher&) = delete;
  PanelRefresher& operator=(const PanelRefresher&) = delete;

  enum class Loops { Stopped, Running };
  /// Starts or stops both loops; the refresh loop's first round starts at once.
  void setLoops(Loops loops);
  /// A new pause restarts a running refresh loop.
  void setInterval(std::chrono::milliseconds interval);
  /// A scan, docker and statistics round; the fresh ports are then probed.
  void refresh();
  /// A scan round alone, after an action changed what listens.
  void rescan();
  /// An action has changed what listens: a scan that read the system before
  /// it must not bring back what the action ended.
  void forgetScansInFlight() { shownScan_ = started_; }
  /// The processes the panel lists now, whose statistics the rounds sample.
  void setListed(const std::vector<PortEntry>& entries);
  /// A statistics round on the listed processes; `done` runs once it has
  /// landed, fresh or not (at once when nothing is listed).
  void sampleStats(std::function<void()> done = {});

  /// The last answer of each dev port's probe.
  const std::map<int64_t, bool>& health() const { return health_; }

 signals:
  /// What a round brought that is newer than what is shown.
  void landed(const PanelRefresher::Fresh& fresh);
  void healthChanged();

 private:
  using Generation = uint64_t;
  struct Loop {
    Generation run = 0;  ///< bumped on every start and stop: a timer of an old run is ignored
    std::optional<Scheduler::TimerId> timer;
  };
  Generation startRefresh();
  /// Hands on what is fresh; true when the round's scan was.
  bool land(Generation round, Fresh fresh);
  void probe(Generation round, const std::vector<PortEntry>& ports);
  /// Ends the loop's current run; a step with the new run starts it again.
  void restart(Loop& loop);
  void refreshStep(Generation run);
  void statsStep(Generation run);

  Seams seams_;
  std::vector<int32_t> listed_;
  std::chrono::milliseconds interval_;
  Loops loops_ = Loops::Stopped;
  Generation started_ = 0;
  Generation shownScan_ = 0;
  Generation shownStats_ = 0;
  /// The refresh loop's round still out, if any: a hung scan holds one worker, not one per tick.
  std::optional<Generation> loopRound_;
  Loop refreshLoop_;
  Loop statsLoop_;
  std::map<int64_t, bool> health_;
  std::map<int64_t, Generation> answeredRound_;
  std::map<int64_t, Clock::Duration> probedAt_;
};
