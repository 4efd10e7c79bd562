#include "core/scan/processes.h"

#include <gtest/gtest.h>

TEST(ProcessTable, SkipsLinesThatDoNotFit) {
  const std::pair<std::string, ProcessTable> cases[] = {
      {"  42     7 /usr/bin/node\n", {{42, {7, "/usr/bin/node"}}}},
      {"42 7\n42 7 \n", {}},
      {"42  7  two spaces before\n", {{42, {7, " two spaces before"}}}},
      {"\n\n   \n7 1 a\n\n", {{7, {1, "a"}}}},
      {"PID PPID COMMAND\nabc 7 x\n42 x7 y\n42 0x7 y\n", {}},
      {std::string("9 1 nul\0byte\n", 13), {{9, {1, std::string("nul\0byte", 8)}}}},
  };
  for (const auto& [output, expected] : cases) EXPECT_EQ(PortCore::parseProcessTable(output), expected) << output;
}

TEST(ProcessTable, AncestryStopsAtTwentyAtAGapAndAtALoop) {
  ProcessTable longLine;  // 100, its parent 101, and so on
  for (int32_t pid = 100; pid < 140; ++pid) longLine[pid] = {pid + 1, "/usr/bin/p" + std::to_string(pid)};
  std::vector<std::string> chain;
  for (int32_t pid = 101; pid <= 120; ++pid) chain.push_back("p" + std::to_string(pid));
  EXPECT_EQ(PortCore::ancestry(100, longLine), (Ancestry{chain, 120}));

  // The chain of PID 10 in each table.
  const std::pair<ProcessTable, Ancestry> cases[] = {
      {{{10, {20, "a"}}, {20, {30, "/bin/b/"}}}, {{"b"}, 20}},                  // a gap
      {{{10, {11, "a"}}, {11, {12, "b"}}, {12, {11, "c"}}}, {{"b", "c"}, 12}},  // a loop
      {{{10, {11, "a"}}, {11, {10, "b"}}}, {{"b"}, 11}},                         // back to the start
      {{{10, {10, "self"}}}, {{}, 10}},                                           // its own parent
      {{{10, {-5, "a"}}, {-5, {1, "neg"}}}, {{}, 10}},                            // odd parents
      {{{10, {0, "b"}}}, {{}, 10}},
  };
  for (const auto& [table, expected] : cases)
    EXPECT_EQ(PortCore::ancestry(10, table), expected) << ::testing::PrintToString(expected.chain);
}
