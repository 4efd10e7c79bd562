#include "integrations/dev_count.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"

#include "support/english_texts.h"
#include "support/inline_executor.h"
#include "support/recording_sink.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::chrono_literals;

std::pair<std::string, std::string> opened(int64_t port) {
  return {"Tarnwick", englishTexts().format("notif_opened", {FormatArg{port}})};
}
std::pair<std::string, std::string> closed(int64_t port) {
  return {"Tarnwick", englishTexts().format("notif_closed", {FormatArg{port}})};
}

class PortNotifierTest : public ::testing::Test {
 protected:
  std::shared_ptr<PortNotifier> makeNotifier() {
    // Polls run on the test's thread, or on the loop's while the test only waits.
    auto listening = [this] {
      ++polls;
      return ports;
    };
    return PortNotifier::create(std::make_shared<InlineExecutor>(), {.listeningPorts = listening,
                                                                     .preferences = store,
                                                                     .devCount = devCount,
                                                                     .texts = englishTexts(),
                                                                     .sink = sink});
  }

  MemoryPreferences store;
  DevCount devCount;
  std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
  std::vector<int64_t> ports;
  int polls = 0;
};

// Each poll announces the watched ports that opened or closed since the last,
// and counts the distinct listening ports in the dev range.
TEST_F(PortNotifierTest, FirstWatchedPollIsSilentThenChangesAreAnnounced) {
  using Posts = std::vector<std::pair<std::string, std::string>>;
  // Watched, listening, the posts, the dev count.
  const std::tuple<std::set<int64_t>, std::vector<int64_t>, Posts, int64_t> steps[] = {
      {{}, {3000, 80, 1023, 1024, 9999, 10000, 65535}, {}, 3},  // nothing watched
      {{3000}, {3000}, {}, 1},                                   // baseline
      {{3000}, {}, {closed(3000)}, 0},                           // stopped
      {{3000}, {3000, 3000}, {opened(3000)}, 1},                 // started (IPv4 and IPv6)
      {{3000, 4000}, {3000, 4000}, {opened(4000)}, 2},           // watched while listening
      {{3000}, {3000, 4000}, {closed(4000)}, 2},                 // unwatched while listening
      {{3000, 5000}, {5000}, {opened(5000), closed(3000)}, 1},   // opened before closed
      {{}, {}, {}, 0},                                           // emptied: baseline forgotten
      {{5000}, {}, {}, 0},                                       // new baseline, silent
      {{5000}, {5000}, {opened(5000)}, 1},
  };
  auto notifier = makeNotifier();
  int index = 0;
  for (const auto& [watched, listening, expected, count] : steps) {
    PortNotifier::setWatched(store, watched);
    ports = listening;
    notifier->tick();
    EXPECT_EQ(sink->taken(), expected) << "step " << index;
    EXPECT_EQ(devCount.count(), count) << "step " << index;
    ++index;
  }
}

// Each sleep records its length, then plays the next step on the loop's thread;
// once the steps run out it waits for the loop to be stopped.
class ScriptedSleeper final : public Sleeper {
 public:
  void sleepUntil(Clock::Duration deadline, const StopToken& stop) override {
    requested.push_back(deadline - clock.now());
    if (requested.size() <= steps.size()) steps[requested.size() - 1]();
    else stop.sleepFor(1h);
  }
  ManualClock clock;
  std::vector<std::function<void()>> steps;
  std::vector<Clock::Duration> requested;
};

// The loop holds the notifier weakly: once the notifier is gone, it ends.
TEST_F(PortNotifierTest, LoopSleepsTheChosenIntervalBeforeEachPollUntilTheNotifierIsGone) {
  auto sleeper = std::make_shared<ScriptedSleeper>();
  auto notifier = makeNotifier();
  sleeper->steps = {[&] {
                      EXPECT_EQ(polls, 0);  // the first poll comes one interval after start
                      PortNotifier::setWatched(store, {3000});
                    },
                    [&] { notifier.reset(); }};
  auto loop = notifier->start(sleeper->clock, sleeper);
  EXPECT_TRUE(waitUntil([&] { return loop.finished(); }));
  EXPECT_EQ(sleeper->requested, (std::vector<Clock::Duration>{10s, 5s}));
  EXPECT_EQ(polls, 1);
}

TEST(ClockSleeperTest, StopWakesItAtOnce) {
  ManualClock clock;  // never reaches the deadline by itself
  StopSource stop;
  stop.requestStop();
  ClockSleeper(clock).sleepUntil(clock.now() + 1h, stop.token());
}

}  // namespace
