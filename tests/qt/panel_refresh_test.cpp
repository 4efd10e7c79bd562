// The panel's refresh: results older than what is shown dropped, and a hung scan.
#include "panel_fakes.h"

using namespace std::chrono_literals;

namespace {

class PanelRefreshTest : public ::testing::Test {
 protected:
  PanelFixture fixture;
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
  const Start stop = [](PanelState& m) { m.perform({.entry = m.entries().front()}); };
  const std::vector<PortEntry> olderPorts = {makeEntry(3000, 11), makeEntry(3001, 12), makeEntry(80, 13)};
  const std::vector<PortEntry> newerPorts = {makeEntry(4000, 14)};
  const StatsMap olderStats = {{11, {1, 1}}}, newerStats = {{14, {2, 2}}};
  struct Case {
    const char* name;
    Start older, newer;
    std::vector<PortEntry> ports;
    StatsMap stats;
    std::vector<int> devCounts;  // told to the tray by the scans shown
  };
  const Case cases[] = {
      {"two refreshes", refresh, refresh, newerPorts, newerStats, {1}},
      {"a live sample, then a refresh", sample, refresh, newerPorts, newerStats, {1}},
      {"a refresh, then a live sample", refresh, sample, olderPorts, newerStats, {2}},
      {"a refresh, then a stop and its rescan", refresh, stop, newerPorts, olderStats, {1}},
  };
  FakeSeams& fakes = *fixture.fakes;
  for (const Case& c : cases) {
    auto model = fixture.modelWith({makeEntry(5000, 15)});
    fakes.devCounts.clear();
    c.older(model->state());
    c.newer(model->state());
    std::tie(fakes.ports, fakes.samples) = std::tie(newerPorts, newerStats);
    settleAllButFirst();
    std::tie(fakes.ports, fakes.samples) = std::tie(olderPorts, olderStats);
    fixture.settle();
    EXPECT_EQ(model->state().entries(), c.ports) << c.name;
    EXPECT_EQ(model->state().stats(), c.stats) << c.name;
    EXPECT_EQ(fakes.devCounts, c.devCounts) << c.name;
  }
}

// A refresh that read the system before a stop lands after it: the row the
// stop found gone does not come back before the stop's own rescan.
TEST_F(PanelRefreshTest, AScanReadBeforeAStopCannotBringItsRowBack) {
  const PortEntry gone = makeEntry(3000, 11), kept = makeEntry(4000, 12);
  auto model = fixture.modelWith({gone, kept});
  model->state().refresh();
  model->state().perform({.entry = gone});  // no identity: the process changed
  fixture.actions->drain();
  fixture.gui->drain();
  ASSERT_EQ(model->state().entries(), std::vector{kept});
  fixture.background->runAt(0);  // the refresh started before the stop
  fixture.gui->drain();
  EXPECT_EQ(model->state().entries(), std::vector{kept});
}

using PanelLoopTest = PanelRefreshTest;
// A scan that never returns holds the refresh loop's one round, not one per
// tick; once the hung scan lands, the loop goes on.
TEST_F(PanelLoopTest, AHungScanLeavesThePanelResponsive) {
  const PortEntry web = makeEntry(3000), api = makeEntry(3001);
  auto model = fixture.modelWith({web, api});
  model->state().setVisibility(PanelVisibility::Shown);  // the loop's first scan hangs at the front of the queue
  for (int tick = 0; tick < 5; ++tick) {
    fixture.scheduler->advance(3s);
    settleAllButFirst();
  }
  EXPECT_EQ(fixture.fakes->scans, 0) << "no second loop scan while the first hangs";

  fixture.fakes->ports = {web, api};
  fixture.background->runAt(0);
  fixture.gui->drain();
  const int scans = fixture.fakes->scans;
  fixture.advance(3s);
  EXPECT_EQ(fixture.fakes->scans, scans + 1) << "the loop goes on once the scan has landed";
  EXPECT_EQ(model->state().entries(), (std::vector<PortEntry>{web, api}));
}

}  // namespace
