#include "integrations/dev_count.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"

#include "support/english_texts.h"
#include "support/recording_sink.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Runs each task at once: the test itself stands for the GUI thread.
struct InlineExecutor final : Executor {
  void post(Task task) override { task(); }
};

auto posting(const char* key) {
  return [key](int64_t port) { return RecordingSink::Post{"Tarnwick", englishTexts().format(key, {port})}; };
}
const auto opened = posting("notif_opened"), closed = posting("notif_closed");

struct PortNotifierTest : ::testing::Test {
  std::shared_ptr<PortNotifier> makeNotifier() {
    // Polls run on the test's thread, or on the loop's while the test only waits.
    return PortNotifier::create(std::make_shared<InlineExecutor>(),
                                {.listeningPorts = [this] { ++polls; return ports; }, .preferences = store,
                                 .devCount = devCount, .texts = englishTexts(), .sink = sink,
                                 .fullScan = [this] { ++fullScans; return PortNotifier::FullScan{}; },
                                 .scanned = [this](PortNotifier::FullScan) { ++scansDelivered; }});
  }

  MemoryPreferences store;
  DevCount devCount;
  std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
  std::vector<int64_t> ports;
  std::atomic<int> polls = 0;  // also counted on the loop's thread
  int fullScans = 0, scansDelivered = 0;
};

using Posts = std::vector<std::pair<std::string, std::string>>;

// Ports `first` to `last` after `ports`.
std::vector<int64_t> plus(std::vector<int64_t> ports, int64_t first, int64_t last) {
  for (int64_t port = first; port <= last; ++port) ports.push_back(port);
  return ports;
}

// Each poll announces the watched ports that opened or closed since the last,
// in one notice each way, and counts the distinct listening ports in the dev
// range. A change of the watched ports is followed as the loop would, when it
// is made: it announces nothing itself, and a port that stops after it is
// still seen to stop. A full scan, for the item's menu, is taken only when
// the listening ports differ from those of the last one.
TEST_F(PortNotifierTest, PollsAnnounceWatchedPortsOpeningOrClosingButNotTheWatchingItself) {
  // The watched ports to store and follow (none: a poll), the listening ports, the posts, the dev count,
  // the full scans taken so far.
  const std::tuple<std::optional<std::set<int64_t>>, std::vector<int64_t>, Posts, int64_t, int> steps[] = {
      {{}, {80, 1023, 1024, 3000, 9999, 10000, 65535}, {}, 3, 1},    // first poll: a baseline
      {{}, {}, {closed(3000)}, 0, 2},                                 // stopped
      {{}, {3000, 3000}, {opened(3000)}, 1, 3},                       // started (IPv4 and IPv6)
      {std::set<int64_t>{3000, 4000}, {3000, 4000}, {}, 1, 3},        // watched while listening
      {{}, {3000}, {closed(4000)}, 1, 3},                             // and stopped: the ports of the last full scan
      {{}, {3000, 4000}, {opened(4000)}, 2, 4},
      {std::set<int64_t>{4000, 5000}, {3000, 4000}, {}, 2, 4},        // 3000 unwatched
      {{}, {4000}, {}, 1, 5},                                         // then stopped: not told
      {{}, {5000}, {opened(5000), closed(4000)}, 1, 6},               // opened before closed
      {std::set<int64_t>{4000, 5000, 6000, 6001, 6002, 6003, 6004, 6005, 6006, 6007, 6008, 6009}, {5000}, {}, 1, 6},
      {{}, plus({4000}, 6000, 6009), {{"Tarnwick", "11 watched ports started listening: 4000, 6000, 6001, 6002, "
                                                    "6003, 6004, 6005, 6006, \u2026"}, closed(5000)}, 11, 7},
      {{}, plus({4000}, 6002, 6009), {{"Tarnwick", "2 watched ports stopped listening: 6000, 6001"}}, 9, 8},
      {{}, plus({4000}, 6002, 6009), {}, 9, 8},                       // nothing changed: no full scan
      {{}, {6009, 6008, 6007, 6006, 6005, 6004, 6003, 6002, 4000, 4000}, {}, 9, 8},  // the same set, reordered
  };
  auto notifier = makeNotifier();
  PortNotifier::setWatched(store, {3000});
  EXPECT_TRUE(notifier->followWatched()) << "a change before the first poll";
  EXPECT_FALSE(notifier->followWatched());
  int index = 0;
  for (const auto& [watch, listening, expected, count, scans] : steps) {
    ports = listening;
    if (watch) {
      PortNotifier::setWatched(store, *watch);
      EXPECT_TRUE(notifier->followWatched());
    } else {
      notifier->tick();
    }
    EXPECT_EQ(sink->taken(), expected) << "step " << index;
    EXPECT_EQ(fullScans, scans) << "step " << index;
    EXPECT_EQ(scansDelivered, scans) << "step " << index;
    EXPECT_EQ(devCount.count(), count) << "step " << index++;
  }
  notifier->wantFullScan();  // the panel closed: its scans are the notifier's no longer
  notifier->tick();
  EXPECT_EQ(fullScans, 9);
}

// Each sleep records its length, then plays the next step on the loop's thread;
// once the steps run out it waits for the loop to be stopped.
struct ScriptedSleeper final : Sleeper {
  bool sleepUntil(Clock::Duration deadline, const StopToken& stop) override {
    requested.push_back(deadline - clock.now());
    if (requested.size() > steps.size()) {
      stop.sleepFor(1h);
      return false;
    }
    steps[requested.size() - 1]();
    return woken.exchange(false);
  }
  void wake() override { woken = true; }
  ManualClock clock;
  std::vector<std::function<void()>> steps;
  std::vector<Clock::Duration> requested;
  std::atomic<bool> woken = false;
};

// The loop polls at once, follows a change of the watched ports as it is made
// and keeps its deadline, and ends once the notifier (held weakly) is gone.
TEST_F(PortNotifierTest, LoopPollsAtStartFollowsWatchChangesAtOnceAndEndsWithTheNotifier) {
  auto sleeper = std::make_shared<ScriptedSleeper>();
  ports = {3000};
  auto notifier = makeNotifier();
  sleeper->steps = {[&] {
                      EXPECT_EQ(polls, 1);
                      EXPECT_EQ(devCount.count(), 1);
                      PortNotifier::setWatched(store, {3000});  // wakes this sleep
                    },
                    [&] {
                      EXPECT_EQ(polls, 2);  // it listened when it was watched...
                      ports.clear();
                    },
                    [&] { notifier.reset(); }};
  auto loop = notifier->start(sleeper->clock, sleeper);
  EXPECT_TRUE(waitUntil([&] { return loop.finished(); }));
  EXPECT_EQ(sleeper->requested, (std::vector<Clock::Duration>{10s, 10s, 5s}));
  EXPECT_EQ(sink->taken(), Posts{closed(3000)});  // ...and stopped before the next poll
  EXPECT_EQ(polls, 3);
}

TEST(ClockSleeperTest, StopOrWakeEndsItAtOnce) {
  ManualClock clock;  // never reaches the deadline by itself
  ClockSleeper sleeper(clock);
  StopSource running, stopped;
  std::thread waker([&] { sleeper.wake(); });  // before or during the sleep: either must end it
  EXPECT_TRUE(sleeper.sleepUntil(clock.now() + 1h, running.token()));
  waker.join();
  stopped.requestStop();
  EXPECT_FALSE(sleeper.sleepUntil(clock.now() + 1h, stopped.token()));
}

// The system sleeper, with real deadlines: it ends at the deadline on the
// boot clock, at once on wake(), and at once when the loop asleep in it for
// its 10 s interval is stopped.
TEST_F(PortNotifierTest, TheSystemSleeperEndsAtTheDeadlineOnWakeAndOnStop) {
  const Clock& clock = PortCore::systemClock();
  auto sleeper = makeSystemSleeper();
  StopSource running;
  const auto start = clock.now();
  EXPECT_FALSE(sleeper->sleepUntil(start + 50ms, running.token()));
  EXPECT_GE(clock.now() - start, 50ms);
  sleeper->wake();
  EXPECT_TRUE(sleeper->sleepUntil(clock.now() + 1h, running.token()));
  StopSource stopped;
  stopped.requestStop();
  EXPECT_FALSE(sleeper->sleepUntil(clock.now() + 1h, stopped.token())) << "a stopped loop is not woken";

  auto notifier = makeNotifier();
  auto loop = notifier->start(clock, sleeper);
  ASSERT_TRUE(waitUntil([&] { return polls == 1; }));
  const auto stopping = clock.now();
  loop.stop();
  EXPECT_LT(clock.now() - stopping, 1s);
}

// Out of descriptors after the timer's (in a child that may open one more),
// the sleeper still wakes: it falls back to the clock's.
TEST(SystemSleeper, WakesWhenDescriptorsRunOut) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the sanitizers check memory through a pipe, which a process out of descriptors cannot open";
#endif
  pid_t child = ::fork();
  if (child == 0) {
    ::alarm(5);  // a sleeper that cannot be woken ends the child here
    const int lowestFree = ::dup(0);  // every lower descriptor is taken
    ::close(lowestFree);
    rlimit before{};
    ::getrlimit(RLIMIT_NOFILE, &before);
    const rlimit one{static_cast<rlim_t>(lowestFree) + 1, before.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &one);
    auto sleeper = makeSystemSleeper();
    ::setrlimit(RLIMIT_NOFILE, &before);
    StopSource running;
    sleeper->wake();
    ::_exit(sleeper->sleepUntil(PortCore::systemClock().now() + 1h, running.token()) ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
