// The panel's refresh: results applied as they arrive, the empty state, probes over a manual
// clock, the live statistics sample, and both loops following the panel.
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
  void refreshNow(PortListModel& model) {
    model.refresh();
    fixture.settle();
  }
  /// Runs the background work waiting now and reports how many scans it made.
  int scansRun() {
    int before = fixture.services->scans;
    fixture.settle();
    return fixture.services->scans - before;
  }
};

TEST_F(PanelRefreshTest, RefreshAppliesScanDockerAndStatsTogether) {
  fixture.services->ports = {makeEntry(3000, 11), makeEntry(80, 12), makeEntry(5432, 13)};
  fixture.services->samples = {{11, {1.5, 100}}};
  auto model = fixture.makeModel();
  model->setSelection("99:9");
  EXPECT_FALSE(model->loaded());
  refreshNow(*model);

  EXPECT_TRUE(model->loaded());
  EXPECT_EQ(portsOf(model->entries()), (std::vector<int64_t>{3000, 80, 5432}));
  EXPECT_EQ(model->stats(), fixture.services->samples);
  EXPECT_EQ(fixture.services->statsRequests.back(), (std::vector<int32_t>{11, 12, 13}));
  EXPECT_EQ(fixture.services->devCounts, std::vector<int>{2});
  // A selection that matches no row is kept, not cleared.
  EXPECT_EQ(model->selection(), "99:9");
}

TEST_F(PanelRefreshTest, TheRefreshArrivingLastWinsWhateverStartedFirst) {
  auto model = fixture.makeModel();
  model->refresh();  // first: will see two dev ports
  model->refresh();  // second: will see one
  ASSERT_EQ(fixture.background->size(), 2u);

  fixture.services->ports = {makeEntry(4000)};
  fixture.background->runAt(1);
  fixture.gui->drain();
  EXPECT_EQ(portsOf(model->entries()), std::vector<int64_t>{4000});

  fixture.services->ports = {makeEntry(3000), makeEntry(3001), makeEntry(80)};
  fixture.background->runAt(0);
  fixture.gui->drain();
  EXPECT_EQ(portsOf(model->entries()), (std::vector<int64_t>{3000, 3001, 80}));
  EXPECT_EQ(fixture.services->devCounts, (std::vector<int>{1, 2}));
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
  EXPECT_EQ(model->rowInputs(makeEntry(5173)).healthy, false);
  EXPECT_EQ(model->rowInputs(makeEntry(1024)).healthy, std::nullopt);  // not answered yet

  // 5173 stayed silent: probed again once 30 s have passed, not at 29 s.
  const std::pair<std::chrono::seconds, std::vector<int64_t>> steps[] = {{29s, {3000, 1024, 9999}},
                                                                         {1s, {3000, 5173, 1024, 9999}}};
  for (const auto& [after, probed] : steps) {
    fixture.clock.advance(after);
    refreshNow(*model);
    EXPECT_EQ(probedPorts(*fixture.services), probed) << after.count();
    fixture.services->probes.clear();
  }
}

TEST_F(PanelRefreshTest, LiveSampleTakesTheListedProcessesAndSkipsAnEmptyList) {
  auto model = fixture.modelWith({makeEntry(3000, 11), makeEntry(3001, 12)});
  fixture.services->samples = {{11, {50, 10}}};
  bool done = false;
  model->liveStatsTick([&] { done = true; });
  EXPECT_FALSE(done);
  fixture.settle();
  EXPECT_TRUE(done);
  EXPECT_EQ(fixture.services->statsRequests.back(), (std::vector<int32_t>{11, 12}));
  EXPECT_EQ(model->stats(), fixture.services->samples);

  auto empty = fixture.modelWith({});
  done = false;
  empty->liveStatsTick([&] { done = true; });
  EXPECT_TRUE(done) << "with nothing listed there is nothing to sample";
  EXPECT_EQ(fixture.background->size(), 0u);
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

}  // namespace
