#include "ui/panel_refresher.h"

#include "ui/row_state.h"

#include <set>

using namespace std::chrono_literals;

namespace {

constexpr auto kUnansweredProbePause = 30s;
constexpr auto kLiveStatsPause = 1s;

std::vector<int32_t> pidsOf(const std::vector<PortEntry>& entries) {
  std::vector<int32_t> pids;
  pids.reserve(entries.size());
  for (const PortEntry& e : entries) pids.push_back(e.pid);
  return pids;
}

}  // namespace

PanelRefresher::PanelRefresher(Seams seams, std::chrono::milliseconds interval, QObject* parent)
    : QObject(parent), seams_(std::move(seams)), interval_(interval) {}

PanelRefresher::~PanelRefresher() { setLoops(Loops::Stopped); }

void PanelRefresher::setLoops(Loops loops) {
  if (loops_ == loops) return;
  loops_ = loops;
  restart(refreshLoop_);
  restart(statsLoop_);
  if (loops == Loops::Stopped) return;
  refreshStep(refreshLoop_.run);
  statsStep(statsLoop_.run);
}

void PanelRefresher::setInterval(std::chrono::milliseconds interval) {
  if (interval_ == interval) return;
  interval_ = interval;
  if (loops_ == Loops::Stopped) return;
  restart(refreshLoop_);
  refreshStep(refreshLoop_.run);
}

void PanelRefresher::restart(Loop& loop) {
  ++loop.run;
  if (loop.timer) seams_.scheduler->cancel(*loop.timer);
  loop.timer.reset();
}

void PanelRefresher::refreshStep(Generation run) {
  if (run != refreshLoop_.run) return;
  if (!loopRound_) loopRound_ = startRefresh();
  refreshLoop_.timer = seams_.scheduler->schedule(interval_, [this, run] {
    refreshLoop_.timer.reset();
    refreshStep(run);
  });
}

void PanelRefresher::statsStep(Generation run) {
  if (run != statsLoop_.run) return;
  // The pause starts when the sample lands, so a slow sample never overlaps the next.
  sampleStats([this, run] {
    if (run != statsLoop_.run) return;
    statsLoop_.timer = seams_.scheduler->schedule(kLiveStatsPause, [this, run] {
      statsLoop_.timer.reset();
      statsStep(run);
    });
  });
}

void PanelRefresher::refresh() { startRefresh(); }

PanelRefresher::Generation PanelRefresher::startRefresh() {
  Generation round = ++started_;
  seams_.background->post([this, round, scans = seams_.scans, gui = seams_.gui] {
    Fresh fresh;
    fresh.scan = scans->scanPorts();
    fresh.docker = scans->containerPorts();
    fresh.stats = scans->stats(pidsOf(fresh.scan->entries));
    gui->post([this, round, fresh = std::move(fresh)]() mutable {
      std::vector<PortEntry> ports = fresh.scan->entries;
      if (land(round, std::move(fresh))) probe(round, ports);
    });
  });
  return round;
}

void PanelRefresher::rescan() {
  Generation round = ++started_;
  seams_.background->post([this, round, scans = seams_.scans, gui = seams_.gui] {
    Fresh fresh;
    fresh.scan = scans->scanPorts();
    gui->post([this, round, fresh = std::move(fresh)]() mutable { land(round, std::move(fresh)); });
  });
}

void PanelRefresher::setListed(const std::vector<PortEntry>& entries) { listed_ = pidsOf(entries); }

void PanelRefresher::sampleStats(std::function<void()> done) {
  std::vector<int32_t> pids = listed_;
  if (pids.empty()) {
    if (done) done();
    return;
  }
  Generation round = ++started_;
  seams_.background->post(
      [this, round, scans = seams_.scans, gui = seams_.gui, pids, done = std::move(done)] {
        Fresh fresh;
        fresh.stats = scans->stats(pids);
        gui->post([this, round, fresh = std::move(fresh), done]() mutable {
          land(round, std::move(fresh));
          if (done) done();
        });
      });
}

bool PanelRefresher::land(Generation round, Fresh fresh) {
  if (loopRound_ == round) loopRound_.reset();
  bool scanShown = fresh.scan && round > shownScan_;
  if (scanShown) {
    shownScan_ = round;
  } else {
    fresh.scan.reset();
    fresh.docker.reset();
  }
  if (fresh.stats && round > shownStats_)
    shownStats_ = round;
  else
    fresh.stats.reset();
  if (fresh.scan || fresh.stats) emit landed(fresh);
  return scanShown;
}

void PanelRefresher::probe(Generation round, const std::vector<PortEntry>& ports) {
  Clock::Duration now = seams_.clock->now();
  std::set<int64_t> started;
  for (const PortEntry& e : ports) {
    if (!isDevPort(e.port)) continue;
    // One socket per address family on the same port needs one probe, not two.
    if (!started.insert(e.port).second) continue;
    auto answered = health_.find(e.port);
    auto probed = probedAt_.find(e.port);
    if (answered != health_.end() && !answered->second && probed != probedAt_.end() &&
        now - probed->second < kUnansweredProbePause)
      continue;
    probedAt_[e.port] = now;
    seams_.scans->probe(e.port, [this, gui = seams_.gui, round, port = e.port](bool healthy) {
      gui->post([this, round, port, healthy] {
        Generation& answered = answeredRound_[port];
        if (round <= answered) return;
        answered = round;
        health_[port] = healthy;
        emit healthChanged();
      });
    });
  }
}
