#include "core/process/process_facts_linux.h"
#include "core/process/restart_plan.h"
#include "core/system/tool_runner.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace std::string_literals;

TEST(ProcProcessFacts, ReadsWhatARestartNeedsFromTheTreeItIsGiven) {
  TempDir proc, home;
  // A folder whose name no text shows as it is: it must come back byte for byte.
  const std::string work = home.path() + "/tab\there back\\slash \xff\xfe";
  std::filesystem::create_directory(work);
  const std::string status = "Name:\tnode\nUid:\t1000\t0\t0\t0\nGid:\t100\t100\t100\t100\nGroups:\t\n";
  proc.write("10/cmdline", "node\0server.js\0--title\0my app\0\0"s);
  proc.write("10/environ", "HOME=/home/dev\0PATH=/opt/bin:/usr/bin\0PATHX=no\0"s);
  proc.write("10/status", status);
  ::symlink(work.c_str(), (proc.path() + "/10/cwd").c_str());
  proc.write("11/cmdline", "npm run dev\0\0\0\0\0\0"s);
  proc.write("11/status", "Uid:\t1000\t1000\t1000\nGid:\t1\t1\t1\t1\n");
  ::symlink((work + " (deleted)").c_str(), (proc.path() + "/11/cwd").c_str());
  proc.write("12/cmdline", "");  // a kernel thread or a zombie
  proc.write("12/file", "");
  ::symlink((proc.path() + "/12/file").c_str(), (proc.path() + "/12/cwd").c_str());
  proc.write("self/status", status);
  ProcProcessFacts facts(proc.path());

  auto fieldsOf = [&](int32_t pid) {
    auto f = facts.restartFacts(pid);
    return std::tuple(f.arguments, f.directory, f.searchPath, f.credentials);
  };
  using Fields = decltype(fieldsOf(0));
  const Credentials node{{1000, 0, 0, 0}, {100, 100, 100, 100}};
  EXPECT_EQ(fieldsOf(10),
            (Fields{{"node", "server.js", "--title", "my app", ""}, work, "/opt/bin:/usr/bin", node}));
  // The padding is no argument, the folder is deleted, and there are three user IDs.
  EXPECT_EQ(fieldsOf(11), (Fields{{"npm run dev"}, std::nullopt, std::nullopt, std::nullopt}));
  EXPECT_EQ(fieldsOf(12), Fields{}) << "no arguments, and its folder is no directory";
  EXPECT_EQ(fieldsOf(13), Fields{});
  EXPECT_EQ(facts.ownCredentials(), node);
}

// Real processes, their rights read from /proc: our own comes back, one with
// another user's rights is refused. Checked without root's rights whether or
// not the suite has them; as root, a process whose real user differs from its
// effective one (as a setuid program's does) is refused too.
TEST(PlanRestart, RealProcessesWithOtherRightsAreRefused) {
  auto refusalFor = [](pid_t pid) {
    ProcProcessFacts facts("/proc");
    return PortCore::planRestart(facts.restartFacts(pid), facts.ownCredentials(), "/bin/sh",
                                 PortCore::systemToolRunner()).refusal;
  };
  auto sleeper = [](std::vector<std::string> argv) {
    argv.insert(argv.end(), {"/bin/sleep", "60"});
    auto process = TestProcess::start(argv, {"/tmp", {}});
    waitUntil([&] { return readFile("/proc/" + std::to_string(process.pid()) + "/comm") == "sleep\n"; });
    return process;
  };
  const std::string report = withoutRoot([&]() -> std::string {
    auto own = sleeper({});
    std::string wrong;
    if (refusalFor(own.pid()) != ActionOutcome::Done) wrong += "our own process is refused; ";
    if (refusalFor(1) != ActionOutcome::RestartForeign) wrong += "root's process 1 is not refused; ";
    return wrong;
  });
  EXPECT_EQ(report, "");
  SKIP_UNLESS_ROOT("starting a process whose real user is not its effective one needs root");
  auto setuidLike = sleeper({"/usr/bin/setpriv", "--ruid=65534"});
  EXPECT_EQ(refusalFor(setuidLike.pid()), ActionOutcome::RestartForeign);
}
