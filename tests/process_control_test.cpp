#include "core/detached_launch.h"
#include "core/process_control.h"
#include "core/process_facts.h"
#include "core/process_signals.h"
#include "core/restart_shell.h"
#include "core/scan_source.h"
#include "core/tool_paths.h"
#include "support/fake_tool_runner.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <functional>
#include <map>

namespace {

using Events = std::vector<std::string>;

// Signals that go nowhere: the process answers `probesAnswered` liveness
// probes and is gone after that.
class RecordingSignals final : public ProcessSignals {
 public:
  explicit RecordingSignals(Events& events) : events_(events) {}
  int probesAnswered = INT_MAX;
  SignalResult afterLastProbe = SignalResult::NoSuchProcess;

  SignalResult send(int32_t pid, int signal) override {
    events_.push_back("signal " + std::to_string(signal) + " to " + std::to_string(pid));
    if (signal != 0) return SignalResult::Sent;
    if (probesAnswered == 0) return afterLastProbe;
    if (probesAnswered != INT_MAX) --probesAnswered;
    return SignalResult::Sent;
  }
  void pause(std::chrono::microseconds duration) override {
    events_.push_back("pause " + std::to_string(duration.count()) + "us");
  }

 private:
  Events& events_;
};

class FakeFacts final : public ProcessFacts {
 public:
  std::map<int32_t, std::string> commandLines;
  std::map<int32_t, uint32_t> owners;
  uint32_t us = 1000;

  std::optional<std::string> commandLine(int32_t pid) override {
    auto found = commandLines.find(pid);
    return found == commandLines.end() ? std::nullopt : std::optional(found->second);
  }
  std::optional<uint32_t> owner(int32_t pid) override {
    auto found = owners.find(pid);
    return found == owners.end() ? std::nullopt : std::optional(found->second);
  }
  uint32_t currentUser() override { return us; }
};

class RecordingLauncher final : public DetachedLauncher {
 public:
  explicit RecordingLauncher(Events& events) : events_(events) {}
  std::vector<DetachedCommand> launched;
  void launch(const DetachedCommand& command) override {
    events_.push_back("launch");
    launched.push_back(command);
  }

 private:
  Events& events_;
};

// The whole system as tree control sees it, canned.
struct FakeSystem {
  Events events;
  FakeToolRunner tools;
  ToolScanSource scan{tools};
  RecordingSignals signals{events};
  FakeFacts facts;
  RecordingLauncher launcher{events};

  ControlSources sources() { return {scan, signals, facts, launcher}; }
  void setProcessList(std::string text) { tools.setOutput(ToolPaths::ps, std::move(text)); }
  void setWorkingDirectories(std::string text) { tools.setOutput(ToolPaths::lsof, std::move(text)); }
};

Events escalation(int32_t pid, int probes, bool hardKill) {
  Events events{"signal 15 to " + std::to_string(pid)};
  for (int i = 0; i < probes; ++i) {
    events.push_back("pause 100000us");
    events.push_back("signal 0 to " + std::to_string(pid));
  }
  if (hardKill) events.push_back("signal 9 to " + std::to_string(pid));
  return events;
}

TEST(CommandName, FirstWordOfTheLastPathComponentMatchedExactly) {
  struct Case {
    const char* comm;
    const char* name;
    bool dev;
  };
  const Case cases[] = {
      {"node", "node", true},
      {"/usr/local/bin/node", "node", true},
      {"next-server (v14.1)", "next-server", true},
      {"npm run dev", "npm", true},
      {"Node", "Node", false},
      {"node18", "node18", false},
      {"nodemon", "nodemon", false},
      {"/Applications/My App.app/Contents/MacOS/My App", "My", false},
      {"   ", "", false},
      {"/usr/bin/", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PortCore::commandName(c.comm), c.name) << c.comm;
    EXPECT_EQ(PortCore::devCommands().count(PortCore::commandName(c.comm)), c.dev ? 1u : 0u) << c.comm;
  }
}

TEST(TopDevAncestor, ClimbsThroughDevParentsOnly) {
  struct Case {
    const char* name;
    ProcessTable table;
    int32_t leaf;
    int32_t top;
  };
  const Case cases[] = {
      {"npm above node, shell above npm",
       {{100, {90, "node"}}, {90, {80, "/usr/local/bin/npm"}}, {80, {1, "/bin/zsh"}}}, 100, 90},
      {"shell parent", {{100, {80, "node"}}, {80, {1, "-zsh"}}}, 100, 100},
      {"leaf itself is never tested", {{100, {90, "postgres"}}, {90, {1, "bash"}}}, 100, 100},
      {"dev chain reaching PID 1",
       {{100, {90, "node"}}, {90, {70, "npm"}}, {70, {1, "/usr/bin/node"}}}, 100, 70},
      {"parent missing from the table", {{100, {90, "node"}}}, 100, 100},
      {"leaf missing from the table", {{90, {1, "npm"}}}, 100, 100},
      {"empty table", {}, 100, 100},
      {"look-alike names stop the walk",
       {{100, {90, "node"}}, {90, {80, "nodemon"}}, {80, {1, "npm"}}}, 100, 100},
      {"cycle through the leaf", {{100, {90, "node"}}, {90, {100, "npm"}}}, 100, 90},
      {"cycle above the leaf",
       {{100, {90, "node"}}, {90, {80, "npm"}}, {80, {90, "node"}}}, 100, 80},
      {"parent is itself", {{100, {100, "node"}}}, 100, 100},
  };
  for (const auto& c : cases) EXPECT_EQ(PortCore::topDevAncestor(c.leaf, c.table), c.top) << c.name;
}

TEST(KillProcess, EscalatesOnlyWhileTheProcessLives) {
  struct Case {
    const char* name;
    int32_t pid;
    Force force;
    int probesAnswered;
    SignalResult afterLastProbe;
    Events expected;
  };
  const Case cases[] = {
      {"gone after the first probe", 42, Force::No, 0, SignalResult::NoSuchProcess, escalation(42, 1, false)},
      {"gone after six probes", 42, Force::No, 5, SignalResult::NoSuchProcess, escalation(42, 6, false)},
      {"never exits", 42, Force::No, INT_MAX, SignalResult::NoSuchProcess, escalation(42, 20, true)},
      {"may not be signalled", 42, Force::No, 0, SignalResult::PermissionDenied, escalation(42, 1, false)},
      {"force", 42, Force::Yes, INT_MAX, SignalResult::NoSuchProcess, {"signal 9 to 42"}},
      {"PID 1", 1, Force::No, INT_MAX, SignalResult::NoSuchProcess, {}},
      {"PID 1 forced", 1, Force::Yes, INT_MAX, SignalResult::NoSuchProcess, {}},
      {"PID 0", 0, Force::No, INT_MAX, SignalResult::NoSuchProcess, {}},
      {"a negative PID names a group", -42, Force::Yes, INT_MAX, SignalResult::NoSuchProcess, {}},
  };
  for (const auto& c : cases) {
    Events events;
    RecordingSignals signals(events);
    signals.probesAnswered = c.probesAnswered;
    signals.afterLastProbe = c.afterLastProbe;
    PortCore::killProcess(c.pid, c.force, signals);
    EXPECT_EQ(events, c.expected) << c.name;
  }
}

// npm (90) started by a shell, running node (100); all ours.
void arrangeNpmTree(FakeSystem& system) {
  system.setProcessList("  100    90 node\n   90    80 npm run dev\n   80     1 -bash\n");
  system.setWorkingDirectories("p90\nfcwd\nn/home/dev/app\n");
  system.facts.commandLines[90] = "npm run dev";
  system.facts.owners[90] = 1000;
  system.facts.us = 1000;
  system.signals.probesAnswered = 0;
}

TEST(RestartTree, WithoutAKnownDirectoryInheritsOurs) {
  FakeSystem system;
  arrangeNpmTree(system);
  system.setWorkingDirectories("");
  PortCore::restartTree(100, system.sources());
  ASSERT_EQ(system.launcher.launched.size(), 1u);
  EXPECT_EQ(system.launcher.launched[0].workingDirectory, std::nullopt);
}

TEST(RestartTree, DoesNothingAtAllWhenItMayNotOrCannot) {
  struct Case {
    const char* name;
    std::function<void(FakeSystem&)> arrange;
    int32_t leaf;
  };
  const Case cases[] = {
      {"another user's process", [](FakeSystem& s) { s.facts.owners[90] = 0; }, 100},
      {"we are root, it is not ours", [](FakeSystem& s) { s.facts.us = 0; }, 100},
      {"owner unknown", [](FakeSystem& s) { s.facts.owners.clear(); }, 100},
      {"command line unreadable", [](FakeSystem& s) { s.facts.commandLines.clear(); }, 100},
      {"init", [](FakeSystem& s) {
         s.setProcessList("    1     0 /sbin/init\n");
         s.facts.commandLines[1] = "/sbin/init";
         s.facts.owners[1] = 1000;
       }, 1},
  };
  for (const auto& c : cases) {
    FakeSystem system;
    arrangeNpmTree(system);
    c.arrange(system);
    PortCore::restartTree(c.leaf, system.sources());
    EXPECT_EQ(system.events, Events{}) << c.name;
  }
}

TEST(RealProcessSignals, AddressesSingleProcessesOnly) {
  RealProcessSignals signals;
  EXPECT_EQ(signals.send(::getpid(), 0), SignalResult::Sent);
  EXPECT_EQ(signals.send(0, 0), SignalResult::NoSuchProcess);
  EXPECT_EQ(signals.send(-static_cast<int32_t>(::getpgrp()), 0), SignalResult::NoSuchProcess);
  EXPECT_EQ(signals.send(INT32_MAX, 0), SignalResult::NoSuchProcess);
}

}  // namespace
