// The panel's refresh: results older than what is shown dropped, probes over a
// manual clock, both loops following the panel, and a hung scan.
#include "panel_fakes.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

std::vector<int64_t> probedPorts(const FakePanelServices& services) {
  std::vector<int64_t> ports;
  for (const auto& probe : services.probes) ports.push_back(probe.first);
  return ports;
}

class PanelRefreshTest : public PanelTest {
 protected:
  void refreshNow(PanelState& model) {
    model.refresh();
    fixture.settle();
  }
  /// Runs the background work waiting now and reports how many scans it made.
  int scansRun() {
    int before = fixture.services->scans;
    fixture.settle();
    return fixture.services->scans - before;
  }
  /// Settles everything but the first background task, which stays out.
  void settleAllButFirst() {
    while (fixture.background->size() > 1 || fixture.actions->size() || fixture.gui->size()) {
      fixture.actions->drain();
      while (fixture.background->size() > 1) fixture.background->runAt(1);
      fixture.gui->drain();
    }
  }
};

// Two rounds start in order and land in reverse. Scans and statistics are
// judged apart: a stop's rescan brings no statistics, so the older refresh's
// still count.
TEST_F(PanelRefreshTest, AResultOlderThanTheOneShownIsDropped) {
  using Start = void (*)(PanelState&);
  const Start refresh = [](PanelState& m) { m.refresh(); };
  const Start sample = [](PanelState& m) { m.liveStatsTick(); };
  const Start stop = [](PanelState& m) { m.perform({m.entries().front(), std::nullopt, false, false, false}); };
  const std::vector<PortEntry> olderPorts = {makeEntry(3000, 11), makeEntry(3001, 12), makeEntry(80, 13)};
  const std::vector<PortEntry> newerPorts = {makeEntry(4000, 14)};
  const StatsMap olderStats = {{11, {1, 1}}}, newerStats = {{14, {2, 2}}};
  struct Case {
    const char* name;
    Start older, newer;
    std::vector<PortEntry> ports;
    StatsMap stats;
    std::vector<int> devCounts;  ///< told to the tray by the scans shown
  };
  const Case cases[] = {
      {"two refreshes", refresh, refresh, newerPorts, newerStats, {1}},
      {"a live sample, then a refresh", sample, refresh, newerPorts, newerStats, {1}},
      {"a refresh, then a live sample", refresh, sample, olderPorts, newerStats, {2}},
      {"a refresh, then a stop and its rescan", refresh, stop, newerPorts, olderStats, {1}},
  };
  FakePanelServices& services = *fixture.services;
  for (const Case& c : cases) {
    auto model = fixture.modelWith({makeEntry(5000, 15)});
    services.devCounts.clear();
    c.older(*model);
    c.newer(*model);
    std::tie(services.ports, services.samples) = std::tie(newerPorts, newerStats);
    settleAllButFirst();
    std::tie(services.ports, services.samples) = std::tie(olderPorts, olderStats);
    fixture.settle();
    EXPECT_EQ(model->entries(), c.ports) << c.name;
    EXPECT_EQ(model->stats(), c.stats) << c.name;
    EXPECT_EQ(services.devCounts, c.devCounts) << c.name;
  }
}

// A refresh that read the system before a stop lands after it: the row the
// stop found gone does not come back before the stop's own rescan.
TEST_F(PanelRefreshTest, AScanReadBeforeAStopCannotBringItsRowBack) {
  const PortEntry gone = makeEntry(3000, 11), kept = makeEntry(4000, 12);
  auto model = fixture.modelWith({gone, kept});
  model->refresh();
  model->perform({gone, std::nullopt, false, false, false});  // no identity: the process changed
  fixture.actions->drain();
  fixture.gui->drain();
  ASSERT_EQ(model->entries(), std::vector{kept});
  fixture.background->runAt(0);  // the refresh started before the stop
  fixture.gui->drain();
  EXPECT_EQ(model->entries(), std::vector{kept});
}

TEST_F(PanelRefreshTest, ProbesDevPortsAndRetriesSilentOnesEveryThirtySeconds) {
  // 3000 on two addresses is probed once.
  fixture.services->ports = {makeEntry(80),    makeEntry(3000), makeEntry(5173), makeEntry(10000),
                             makeEntry(1024),  makeEntry(9999), makeEntry(3000, 0, "node", "[::1]")};
  auto model = fixture.makeModel();
  refreshNow(*model);
  EXPECT_EQ(probedPorts(*fixture.services), (std::vector<int64_t>{3000, 5173, 1024, 9999}));
  fixture.services->answerProbes(3000, true);
  fixture.services->answerProbes(5173, false);
  fixture.services->probes.clear();
  fixture.gui->drain();
  EXPECT_EQ(model->health(), (std::map<int64_t, bool>{{3000, true}, {5173, false}}));

  // 5173 stayed silent: probed again once 30 s have passed, not at 29 s.
  const std::pair<std::chrono::seconds, std::vector<int64_t>> steps[] = {{29s, {3000, 1024, 9999}},
                                                                         {1s, {3000, 5173, 1024, 9999}}};
  for (const auto& [after, probed] : steps) {
    fixture.clock.advance(after);
    refreshNow(*model);
    EXPECT_EQ(probedPorts(*fixture.services), probed) << after.count();
    fixture.services->probes.clear();
  }

  // Two rounds' probes answering in reverse: the older answer is dropped.
  refreshNow(*model);
  refreshNow(*model);
  auto& probes = fixture.services->probes;
  ASSERT_EQ(std::tuple(probes.at(0).first, probes.at(3).first), std::tuple(3000, 3000));
  probes[3].second(false);
  probes[0].second(true);
  fixture.gui->drain();
  EXPECT_EQ(model->health().at(3000), false);
}

using PanelLoopTest = PanelRefreshTest;
TEST_F(PanelLoopTest, RefreshLoopRunsWhileShownAndRestartsOnANewInterval) {
  auto model = fixture.makeModel();
  EXPECT_EQ(scansRun(), 0);

  model->setPanelShown(true);
  EXPECT_EQ(scansRun(), 1) << "the first refresh comes at once";
  fixture.scheduler->advance(2999ms);
  EXPECT_EQ(scansRun(), 0);
  fixture.scheduler->advance(1ms);
  EXPECT_EQ(scansRun(), 1);

  model->setRefreshInterval(10);
  EXPECT_EQ(scansRun(), 1) << "a new interval refreshes at once";
  fixture.scheduler->advance(9s);
  EXPECT_EQ(scansRun(), 0) << "the old 3 s rhythm is gone";
  fixture.scheduler->advance(1s);
  EXPECT_EQ(scansRun(), 1);

  model->setRefreshInterval(10);
  EXPECT_EQ(scansRun(), 0) << "the same interval again changes nothing";

  model->setPanelShown(false);
  EXPECT_EQ(fixture.scheduler->pending(), 0u);

  model->setRefreshInterval(2);
  EXPECT_EQ(scansRun(), 0) << "a hidden panel does not refresh on a new interval";
  model->setPanelShown(true);
  EXPECT_EQ(scansRun(), 1);
  fixture.scheduler->advance(2s);
  EXPECT_EQ(scansRun(), 1);
}

TEST_F(PanelLoopTest, LiveStatsLoopWaitsForItsSampleThenPausesASecond) {
  fixture.services->store.setNumber("refreshInterval", 100);  // keep the refresh's samples out of the way
  auto model = fixture.modelWith({makeEntry(3000, 11)});
  size_t before = fixture.services->statsRequests.size();

  model->setPanelShown(true);  // a refresh and a live sample, both in the background
  ASSERT_EQ(fixture.background->size(), 2u);
  fixture.background->runAt(1);  // the live sample, its result still on its way
  EXPECT_EQ(fixture.services->statsRequests.size(), before + 1);
  EXPECT_EQ(fixture.services->statsRequests.back(), std::vector<int32_t>{11}) << "the listed processes";
  fixture.scheduler->advance(5s);
  EXPECT_EQ(fixture.background->size(), 1u) << "no second sample while one is in flight";
  fixture.settle();
  size_t landed = fixture.services->statsRequests.size();

  fixture.scheduler->advance(999ms);
  fixture.settle();
  EXPECT_EQ(fixture.services->statsRequests.size(), landed);
  fixture.scheduler->advance(1ms);
  fixture.settle();
  EXPECT_EQ(fixture.services->statsRequests.size(), landed + 1);

  model->setPanelShown(false);
  fixture.scheduler->advance(30s);
  fixture.settle();
  EXPECT_EQ(fixture.services->statsRequests.size(), landed + 1);
}

// A scan that never returns holds the refresh loop's one round, not one per
// tick; keys still answer, and a stop runs and its outcome and rescan show.
// When the hung scan lands at last it is older than the rescan, and dropped.
TEST_F(PanelLoopTest, AHungScanLeavesThePanelResponsive) {
  const PortEntry web = makeEntry(3000), api = makeEntry(3001);
  auto model = fixture.modelWith({web, api});
  model->setPanelShown(true);  // the loop's first scan hangs at the front of the queue
  for (int tick = 0; tick < 5; ++tick) {
    fixture.scheduler->advance(3s);
    settleAllButFirst();
  }
  EXPECT_EQ(fixture.services->scans, 0) << "no second loop scan while the first hangs";

  PanelController& controller = model->controller();
  controller.key(PanelKey::Down);
  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Handled);
  fixture.services->ports = {api};
  controller.confirmPending();
  settleAllButFirst();
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"kill 13000"});
  EXPECT_EQ(model->entries(), std::vector<PortEntry>{api});

  fixture.services->ports = {web, api};
  fixture.background->runAt(0);
  fixture.gui->drain();
  EXPECT_EQ(model->entries(), std::vector<PortEntry>{api});
  fixture.scheduler->advance(3s);
  EXPECT_EQ(scansRun(), 1) << "the loop goes on once the scan has landed";
  EXPECT_EQ(model->entries(), (std::vector<PortEntry>{web, api}));
}

}  // namespace
