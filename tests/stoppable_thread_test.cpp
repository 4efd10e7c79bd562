#include "core/system/stoppable_thread.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>

using namespace std::chrono_literals;

// Each way of ending a thread wakes its body from a long wait and returns only
// once the body has returned.
TEST(StoppableThread, EveryEndWakesTheBodyAndJoinsIt) {
  using Thread = std::optional<StoppableThread>;
  const std::pair<const char*, std::function<void(Thread&)>> ends[] = {
      {"stop", [](Thread& thread) { thread->stop(); }},
      {"assignment", [](Thread& thread) { *thread = StoppableThread(); }},
      {"destruction", [](Thread& thread) { thread.reset(); }},
  };
  for (const auto& [name, end] : ends) {
    std::atomic<bool> waiting = false, returned = false;
    Thread thread;
    thread.emplace([&](StopToken stop) {
      waiting = true;
      stop.sleepFor(1h);
      returned = true;
    });
    ASSERT_TRUE(waitUntil([&] { return waiting.load(); })) << name;
    end(thread);  // a body left asleep would hold this for an hour
    EXPECT_TRUE(returned) << name;
    EXPECT_TRUE(!thread || !thread->joinable()) << name;
  }
}
