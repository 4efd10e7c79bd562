#include "core/stats/cpu_history.h"
#include "core/stats/proc_stat.h"
#include "core/stats/stats.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(PsStats, UsesOnlyLinesOfThreeNumbers) {
  EXPECT_EQ(PortCore::parsePsStats("  4242  12.5 204800\n   100   0.0   1023\n   101   0.0   2047 extra\n"
                                    "   102   1.0\n   abc   1.0   1024\n   105   2.0   big\n\n"
                                    "  4242  50.0 1048576\n   106  -0.0 1048575\n"),
            (StatsMap{{4242, {50.0, 1024}}, {100, {0.0, 0}}, {106, {0.0, 1023}}}));
}

// A fixture /proc with a clock tick of 100 Hz and 4 KiB pages.
struct ProcFixture : ::testing::Test {
  // Fields 14 (user time), 22 (start) and 24 (resident pages) of proc(5).
  void setStat(int32_t pid, int64_t cpuTicks, int64_t start, int64_t rssPages) {
    const auto n = [](int64_t value) { return std::to_string(value); };
    dir.write(n(pid) + "/stat", n(pid) + " (dev server) S 1 0 0 0 0 0 0 0 0 0 " + n(cpuTicks) + " 0 0 0 0 0 0 0 " +
                                    n(start) + " 0 " + n(rssPages) + "\n");
  }
  StatsMap sample(const std::vector<int32_t>& pids) { return PortCore::stats(pids, {reader, history, clock}); }

  TempDir dir;
  ProcStatReader reader{dir.path(), 100, 4096};
  CpuHistory history;
  ManualClock clock;
};

TEST_F(ProcFixture, CurrentUseSinceThePreviousSample) {
  dir.write("uptime", "1000.00 12.00\n");
  setStat(42, 5000, 90000, 262143);  // 50 s of CPU in 100 s alive; 1023.99 MB
  dir.write("43/stat", "garbage");   // 44: no such process
  EXPECT_EQ(sample({42, 43, 44}), (StatsMap{{42, {50.0, 1023}}})) << "first sample: lifetime figure";

  clock.advance(2s);
  setStat(42, 5040, 90000, 262144);  // 0.4 s of CPU in 2 s
  EXPECT_EQ(sample({42, 42}), (StatsMap{{42, {20.0, 1024}}}));

  clock.advance(100ms);
  setStat(42, 5140, 90000, 262144);
  EXPECT_EQ(sample({42})[42].cpu, 20.0) << "too soon to measure: the last figure stands";

  clock.advance(1s);
  EXPECT_DOUBLE_EQ(sample({42})[42].cpu, 100.0 / 1.1) << "measured from the older baseline";

  clock.advance(1s);
  setStat(42, 10, 99000, 10);  // another process under the same PID: 0.1 s of CPU in 10 s alive
  EXPECT_DOUBLE_EQ(sample({42})[42].cpu, 1.0) << "a reused PID starts afresh";
}

// A start at or past the uptime (a clock read across a suspend, a start time
// rounded up) leaves no time alive to divide by: the share is nothing, never
// an infinity.
TEST_F(ProcFixture, NoShareWithoutTimeAlive) {
  dir.write("uptime", "900.00 12.00\n");
  setStat(42, 500, 90000, 1);
  setStat(43, 500, 90100, 1);
  EXPECT_EQ(sample({42, 43}), (StatsMap{{42, {0.0, 0}}, {43, {0.0, 0}}}));
}

}  // namespace
