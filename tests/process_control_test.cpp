#include "core/process/detached_launch.h"
#include "core/process/process_control.h"
#include "core/process/process_facts.h"
#include "core/process/process_signals.h"
#include "core/process/restart_shell.h"
#include "core/scan/scan_source.h"
#include "core/system/program_paths.h"
#include "support/fake_tool_runner.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>

namespace {

using Events = std::vector<std::string>;
using namespace std::chrono_literals;

// Signals that go nowhere: `running` is the system's PID to start time, and
// a process exits on SIGTERM when `exitsOnTerm`.
struct RecordingSignals final : ProcessSignals {
  Events events;
  std::map<int32_t, uint64_t> running{{42, 7}, {1, 1}};
  bool exitsOnTerm = true;
  SignalResult answer = SignalResult::Sent;

  std::optional<uint64_t> startTime(int32_t pid) override {
    return running.contains(pid) ? std::optional(running.at(pid)) : std::nullopt;
  }
  std::unique_ptr<PinnedProcess> pin(const ProcessIdentity& target) override {
    events.push_back("pin " + std::to_string(target.pid));
    if (startTime(target.pid) != target.startTime) return nullptr;
    return std::make_unique<Pinned>(*this, target.pid);
  }
  struct Pinned final : PinnedProcess {
    Pinned(RecordingSignals& owner, int32_t pid) : owner(owner), pid(pid) {}
    SignalResult send(int signal) override {
      owner.events.push_back("signal " + std::to_string(signal) + " to " + std::to_string(pid));
      return owner.answer;
    }
    bool waitForExit(std::chrono::milliseconds timeout) override {
      owner.events.push_back("wait " + std::to_string(timeout.count()) + "ms");
      return owner.exitsOnTerm;
    }
    RecordingSignals& owner;
    int32_t pid;
  };
};

Credentials allOf(uint32_t user, uint32_t group) { return {{user, user, user, user}, {group, group, group, group}}; }

// node (100) under npm (90) under a shell, ours unless `npmCredentials` say
// otherwise; npm runs in /bin. It records the launches it is asked for,
// answering `launchResult`.
struct FakeSystem final : ProcessFacts, DetachedLauncher {
  FakeSystem() {
    tools.outputs[ToolPaths::ps] = "  100    90 node\n   90    80 npm\n   80     1 -bash\n";
    signals.running = {{100, 5000}, {90, 4000}, {80, 3000}};
  }
  RestartFacts restartFacts(int32_t pid) override {
    return pid == 90 ? RestartFacts{{"npm run dev"}, "/bin", "/bin:/usr/bin", npmCredentials} : RestartFacts{};
  }
  std::optional<Credentials> ownCredentials() override { return allOf(1000, 1000); }
  LaunchResult launch(const DetachedCommand& command) override {
    signals.events.push_back("launch");
    launched.push_back(command);
    return launchResult;
  }
  FakeToolRunner tools;
  ToolScanSource scan{tools};
  RecordingSignals signals;
  std::vector<DetachedCommand> launched;
  LaunchResult launchResult = LaunchResult::Started;
  Credentials npmCredentials = allOf(1000, 1000);
  ControlSeams sources() { return {scan, signals, *this, *this, tools}; }
};

// Dev parents are named by the first word of the last path component, matched exactly.
TEST(TopDevAncestor, ClimbsThroughDevParentsOnly) {
  const std::tuple<const char*, ProcessTable, int32_t, int32_t> cases[] = {  // name, table, leaf, top
      {"npm above node, shell above npm",
       {{100, {90, "node"}}, {90, {80, "/usr/local/bin/npm"}}, {80, {1, "/bin/zsh"}}}, 100, 90},
      {"leaf itself is never tested", {{100, {90, "postgres"}}, {90, {1, "npm"}}}, 100, 90},
      {"a title's first word", {{100, {90, "node"}}, {90, {1, "next-server (v14.1)"}}}, 100, 90},
      {"look-alike names stop the walk", {{100, {90, "node"}}, {90, {1, "nodemon"}}}, 100, 100},
      {"PID 1 is never a dev parent", {{100, {90, "node"}}, {90, {1, "npm"}}, {1, {0, "node"}}}, 100, 90},
      {"leaf missing from the table", {{90, {1, "npm"}}}, 100, 100},
      {"cycle through the leaf", {{100, {90, "node"}}, {90, {100, "npm"}}}, 100, 90},
  };
  for (const auto& [name, table, leaf, top] : cases) EXPECT_EQ(PortCore::topDevAncestor(leaf, table), top) << name;
}

TEST(KillProcess, SignalsOnlyTheProcessListedAndEscalatesWhileItLives) {
  // Whether the process exits on SIGTERM, what sending answers, the calls made and the outcome.
  using enum SignalResult;
  using enum ActionOutcome;
  const std::string term = "signal 15 to 42", wait = "wait 2000ms";
  const std::tuple<const char*, ProcessIdentity, Force, bool, SignalResult, Events, ActionOutcome> cases[] = {
      {"exits on SIGTERM", {42, 7}, Force::No, true, Sent, {"pin 42", term, wait}, Done},
      {"ignores SIGTERM", {42, 7}, Force::No, false, Sent, {"pin 42", term, wait, "signal 9 to 42", wait}, Done},
      {"force", {42, 7}, Force::Yes, false, Sent, {"pin 42", "signal 9 to 42"}, Done},
      {"PID now another's", {42, 6}, Force::Yes, true, Sent, {"pin 42"}, ProcessChanged},
      {"exited after the pin", {42, 7}, Force::No, true, NoSuchProcess, {"pin 42", term}, ProcessChanged},
      {"refused", {42, 7}, Force::No, true, PermissionDenied, {"pin 42", term}, NotPermitted},
      {"PID 1", {1, 1}, Force::Yes, true, Sent, {}, NotPermitted},
  };
  for (const auto& [name, target, force, exitsOnTerm, answer, expected, outcome] : cases) {
    RecordingSignals signals;
    signals.exitsOnTerm = exitsOnTerm;
    signals.answer = answer;
    EXPECT_EQ(PortCore::killProcess(target, force, signals), outcome) << name;
    EXPECT_EQ(signals.events, expected) << name;
  }
}

TEST(KillTree, StopsTheTopOnlyWhenItCanBeAnAncestorOfTheLeaf) {
  FakeSystem system;
  EXPECT_EQ(PortCore::killTree({100, 5000}, system.sources()), ActionOutcome::Done);
  EXPECT_EQ(system.signals.events, (Events{"pin 100", "pin 90", "signal 15 to 90", "wait 2000ms"}));

  FakeSystem reused;
  reused.signals.running[90] = 6000;  // npm gone, its PID taken after node started
  EXPECT_EQ(PortCore::killTree({100, 5000}, reused.sources()), ActionOutcome::ProcessChanged);
  EXPECT_EQ(reused.signals.events, (Events{"pin 100"}));
}

// A plan the restart refuses stops nothing: a user's setuid program keeps running.
TEST(RestartTree, StopsThenLaunchesThePlanOnlyWhenItCanRunAgain) {
  using enum ActionOutcome;
  const Events launched{"pin 100", "pin 90", "signal 15 to 90", "wait 2000ms", "launch"};
  const Credentials setuid{{1000, 0, 0, 0}, {1000, 1000, 1000, 1000}};
  // What launching answers, the credentials of npm, the outcome and the calls made.
  const std::tuple<LaunchResult, Credentials, ActionOutcome, Events> cases[] = {
      {LaunchResult::Started, allOf(1000, 1000), Done, launched},
      {LaunchResult::Failed, allOf(1000, 1000), LaunchFailed, launched},
      {LaunchResult::Started, setuid, RestartForeign, {"pin 100", "pin 90"}},
  };
  for (const auto& [result, credentials, outcome, events] : cases) {
    FakeSystem system;
    system.launchResult = result;
    system.npmCredentials = credentials;
    EXPECT_EQ(PortCore::restartTree({100, 5000}, system.sources()), outcome);
    EXPECT_EQ(system.signals.events, events);
    if (outcome == RestartForeign) continue;
    EXPECT_EQ(system.launched, (std::vector<DetachedCommand>{{PortCore::restartShellCommand(
                                   PortCore::loginShell(), {"/bin/npm", "run", "dev"}), "/bin"}}))
        << "npm must be found in /bin for this test";
  }
}

uint64_t startTimeOf(pid_t pid) { return PortCore::processStartTime(pid).value_or(0); }

// A real child: a pin carrying a wrong start time, as a reused PID would, sends
// it nothing; the right one stops it and sees the exit.
TEST(RealProcessSignals, ReachOnlyTheProcessWithTheStartTimeGiven) {
  auto child = TestProcess::start({"/bin/sleep", "300"});
  RealProcessSignals signals;
  ProcessIdentity identity{child.pid(), startTimeOf(child.pid())};
  ASSERT_NE(identity.startTime, 0u);
  EXPECT_EQ(PortCore::killProcess({identity.pid, identity.startTime + 1}, Force::Yes, signals),
            ActionOutcome::ProcessChanged);
  EXPECT_FALSE(child.waitForExit(100ms));
  auto pinned = signals.pin(identity);
  ASSERT_TRUE(pinned);
  EXPECT_FALSE(pinned->waitForExit(0ms));
  EXPECT_EQ(pinned->send(SIGTERM), SignalResult::Sent);
  EXPECT_TRUE(pinned->waitForExit(10s));
  EXPECT_EQ(child.waitExitStatus(), 128 + SIGTERM);
  // Where the kernel has no pidfds, the start time alone pins the process.
  auto other = TestProcess::start({"/bin/sleep", "300"});
  ProcessIdentity otherIdentity{other.pid(), startTimeOf(other.pid())};
  EXPECT_FALSE(PortCore::pinByStartTime({other.pid(), otherIdentity.startTime + 1}));
  EXPECT_FALSE(PortCore::pinByStartTime({0, otherIdentity.startTime}));
  auto byStartTime = PortCore::pinByStartTime(otherIdentity);
  ASSERT_TRUE(byStartTime);
  EXPECT_EQ(byStartTime->send(SIGTERM), SignalResult::Sent);
  EXPECT_TRUE(other.waitForExit(10s));  // reaped: a zombie still shows its start time
  EXPECT_TRUE(byStartTime->waitForExit(1s));
  // Root's first process, to someone without root's rights: refused, not gone.
  EXPECT_EQ(withoutRoot([&]() -> std::string {
    auto init = signals.pin({1, startTimeOf(1)});
    return init && init->send(0) == SignalResult::PermissionDenied ? "" : "process 1 was not refused";
  }), "");
}

}  // namespace
