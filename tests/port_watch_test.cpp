#include "core/scan/port_watch.h"
#include "core/scan/scan_source.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Answers each look with the next of `looks` (the last one for ever after),
// a look being the PIDs listening on port 3000 then.
struct ScriptedSource final : ScanSource {
  std::vector<std::vector<int32_t>> looks;
  size_t taken = 0;
  ScanSnapshot snapshot() override {
    ScanSnapshot snapshot;
    for (int32_t pid : current()) {
      snapshot.listeners.push_back({0, "127.0.0.1", 3000, pid});
      snapshot.processes[pid] = {1, "node-" + std::to_string(pid), 1000, "alice", uint64_t(pid) * 10};
    }
    snapshot.listeners.push_back({0, "127.0.0.1", 5173, 9});
    return snapshot;
  }
  ProcessTable processes() override { return {}; }
  std::vector<int64_t> listeningPorts() override {
    ++taken;
    std::vector<int64_t> ports{5173};
    for (size_t i = 0; i < current().size(); ++i) ports.push_back(3000);
    return ports;
  }
  const std::vector<int32_t>& current() const { return looks.at(std::min(taken, looks.size()) - 1); }
};

// Whether and when the port is held again, by a process that is not the old
// one: the looks, the holder found, the time the watch ended and how many looks it took.
TEST(PortWatch, ReportsTheNewHolderOrGivesUpAtTheDeadline) {
  struct Case {
    const char* name;
    std::vector<std::vector<int32_t>> looks;
    std::optional<PortHolder> holder;
    std::chrono::milliseconds ended;
    size_t taken;
  };
  const PortHolder fresh{{42, 420}, "node-42"};
  const Case cases[] = {
      {"held at once", {{42}}, fresh, 0ms, 1},
      {"held at the third look", {{}, {}, {42}}, fresh, 500ms, 3},
      {"the old holder still there", {{7}, {7, 42}}, fresh, 250ms, 2},
      {"never", {{}}, std::nullopt, 1000ms, 5},
      {"only the old holder", {{7}}, std::nullopt, 1000ms, 5},
  };
  for (const auto& c : cases) {
    ScriptedSource source;
    source.looks = c.looks;
    ManualClock clock;
    const auto start = clock.now();
    auto holder = PortCore::waitForHolder(3000, start + 1s, source, clock,
                                          [&](Clock::Duration until) { clock.advance(until - clock.now()); },
                                          {{7, 70}});
    EXPECT_EQ(holder, c.holder) << c.name;
    EXPECT_EQ(clock.now() - start, c.ended) << c.name;
    EXPECT_EQ(source.taken, c.taken) << c.name;
  }
}

}  // namespace
