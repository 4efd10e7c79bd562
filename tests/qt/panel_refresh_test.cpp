// The panel's refresh: a scan read before a stop, and a hung scan.
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
