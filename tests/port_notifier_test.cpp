#include "integrations/dev_count.h"
#include "integrations/l10n.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"

#include "support/recording_sink.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::pair<std::string, std::string> opened(int64_t port) {
  return {"Tarnwick", L10n::format("notif_opened", {FormatArg{port}})};
}
std::pair<std::string, std::string> closed(int64_t port) {
  return {"Tarnwick", L10n::format("notif_closed", {FormatArg{port}})};
}

class PortNotifierTest : public ::testing::Test {
 protected:
  std::shared_ptr<PortNotifier> makeNotifier() {
    auto listening = [this] {
      std::lock_guard lock(portsMutex);
      ++polls;
      return ports;
    };
    return PortNotifier::create([](std::function<void()> task) { task(); },
                                {.listeningPorts = listening, .preferences = store, .devCount = devCount, .sink = sink});
  }

  void listen(std::vector<int64_t> now) {
    std::lock_guard lock(portsMutex);
    ports = std::move(now);
  }

  MemoryPreferences store;
  DevCount devCount;
  std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
  std::mutex portsMutex;
  std::vector<int64_t> ports;
  int polls = 0;
};

// Each poll announces the watched ports that opened or closed since the last,
// and counts the distinct listening ports in the dev range.
TEST_F(PortNotifierTest, FirstWatchedPollIsSilentThenChangesAreAnnounced) {
  using Posts = std::vector<std::pair<std::string, std::string>>;
  struct Step {
    std::set<int64_t> watched;
    std::vector<int64_t> listening;
    Posts expected;
    int64_t devCount;
  };
  const Step steps[] = {
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
  for (const auto& step : steps) {
    PortNotifier::setWatched(store, step.watched);
    listen(step.listening);
    notifier->tick();
    EXPECT_EQ(sink->taken(), step.expected) << "step " << index;
    EXPECT_EQ(devCount.count(), step.devCount) << "step " << index;
    ++index;
  }
}

// Lets the loop sleep one step at a time and records how long it asked to sleep.
class SteppedSleeper final : public Sleeper {
 public:
  explicit SteppedSleeper(ManualClock& clock) : clock_(clock) {}

  void sleepUntil(Clock::Duration deadline, const StopToken& stop) override {
    {
      std::lock_guard lock(mutex_);
      requested_.push_back(deadline - clock_.now());
      loopStop_ = stop;
    }
    changed_.notify_all();
    if (!stop.waitFor(1h, [&] { return steps_ > 0; })) return;  // stopped
    --steps_;
    clock_.advance(deadline - clock_.now());
  }

  void step() {
    ++steps_;
    std::lock_guard lock(mutex_);
    if (loopStop_) loopStop_->notifyAll();
  }

  /// Waits until the loop has asked for `count` sleeps.
  std::vector<Clock::Duration> requested(size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, 10s, [&] { return requested_.size() >= count; });
    return requested_;
  }

 private:
  ManualClock& clock_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<int> steps_ = 0;
  std::optional<StopToken> loopStop_;
  std::vector<Clock::Duration> requested_;
};

// The loop holds the notifier weakly: once the notifier is gone, it ends.
TEST_F(PortNotifierTest, LoopSleepsTheChosenIntervalBeforeEachPollUntilTheNotifierIsGone) {
  ManualClock clock;
  auto sleeper = std::make_shared<SteppedSleeper>(clock);
  auto notifier = makeNotifier();
  auto loop = notifier->start(clock, sleeper);

  EXPECT_EQ(sleeper->requested(1).size(), 1u);
  EXPECT_EQ(polls, 0);  // the first poll comes one interval after start
  PortNotifier::setWatched(store, {3000});
  sleeper->step();
  auto requested = sleeper->requested(2);
  ASSERT_EQ(requested.size(), 2u);
  EXPECT_EQ(requested[0], 10s);
  EXPECT_EQ(requested[1], 5s);
  notifier.reset();
  sleeper->step();
  EXPECT_TRUE(waitUntil([&] { return loop.finished(); }));
  std::lock_guard lock(portsMutex);
  EXPECT_EQ(polls, 1);
}

TEST(ClockSleeperTest, StopWakesItAtOnce) {
  ManualClock clock;
  ClockSleeper sleeper(clock);
  StopSource stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(50ms);
    stop.requestStop();
  });
  auto started = std::chrono::steady_clock::now();
  sleeper.sleepUntil(clock.now() + std::chrono::hours(1), stop.token());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);
  stopper.join();
}

}  // namespace
