#include "core/system/tool_runner.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

namespace {

using namespace std::chrono_literals;

// Ends the background child a script recorded, should the runner have missed it.
struct RecordedChild {
  std::string pidFile;
  pid_t pid() const {
    pid_t pid = -1;
    return std::ifstream(pidFile) >> pid, pid;
  }
  ~RecordedChild() { if (pid() > 1) ::kill(pid(), SIGKILL); }
};

// Each script gets a file as $1 where it may record the PID of a background
// child; that child must be gone once the run returns.
TEST(ToolRunner, DeadlineCapAndWhatTheToolLeavesBehind) {
  const ToolLimits quick{.deadline = 300ms}, small{.deadline = 20s, .maxOutput = 4096};
  // What the tool does, its limits, the output the run gives, and how soon.
  const std::tuple<const char*, const char*, ToolLimits, std::string, std::chrono::milliseconds> cases[] = {
      {"output exactly at the cap", "printf '%4096s' ''", small, std::string(4096, ' '), 5s},
      {"one byte past the cap", "printf '%4097s' ''", small, "", 5s},
      {"floods for ever", "sleep 60 & echo $! > \"$1\"; exec yes", small, "", 5s},
      {"hangs after some output", "sleep 60 & echo $! > \"$1\"; echo partial; exec sleep 60", quick, "", 1300ms},
      {"closes its output and keeps running", "exec >&-; exec sleep 60", quick, "", 1300ms},
      {"a background child holds the output", "sleep 60 & echo $! > \"$1\"; echo done", small, "done\n", 5s},
  };
  for (const auto& [name, script, limits, expected, within] : cases) {
    TempDir dir;
    RecordedChild child{dir.path() + "/child"};
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RealToolRunner().run("/bin/sh", {"-c", script, "sh", child.pidFile}, limits), expected) << name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, within) << name;
    const pid_t pid = child.pid();
    EXPECT_TRUE(pid <= 1 || waitUntil([&] { return !processAlive(pid); }, 2s)) << name << ": child left running";
  }
}

// With SIGCHLD ignored the kernel reaps the tool itself: the run still sees it end.
TEST(ToolRunner, SeesTheEndOfAToolReapedElsewhere) {
  auto* before = ::signal(SIGCHLD, SIG_IGN);
  const std::string output = RealToolRunner().run("/bin/echo", {"hi"}, {.deadline = 5s});
  ::signal(SIGCHLD, before);
  EXPECT_EQ(output, "hi\n");
}

}  // namespace
