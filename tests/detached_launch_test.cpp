#include "core/process/detached_launch.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string linkTarget(const std::string& path) {
  char target[4096];
  ssize_t n = ::readlink(path.c_str(), target, sizeof target);
  return n < 0 ? std::string() : std::string(target, static_cast<size_t>(n));
}

std::vector<int> openDescriptors(pid_t pid) {
  std::vector<int> fds;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd"))
    fds.push_back(std::stoi(entry.path().filename().string()));
  std::sort(fds.begin(), fds.end());
  return fds;
}

// The launched shell tells its PID and becomes a sleep that the test inspects.
TEST(DetachedLauncher, StartsInItsOwnSessionWithOnlyTheStandardDescriptors) {
  TempDir dir;
  std::string pidFile = dir.path() + "/pid";
  int leaked = ::open("/dev/null", O_RDONLY);  // deliberately inheritable
  ASSERT_GE(leaked, 3);
  RealDetachedLauncher launcher;
  launcher.launch({{"/bin/sh", "-c", "echo hidden; echo $$ > pid.tmp && mv pid.tmp pid; exec sleep 30"},
                   dir.path()});
  ::close(leaked);
  ASSERT_TRUE(waitUntil([&] { return !readFile(pidFile).empty(); })) << "the command did not run";
  pid_t pid = std::stoi(readFile(pidFile));
  // Whatever happens below, the sleep goes.
  struct Killer {
    pid_t pid;
    ~Killer() { ::kill(pid, SIGKILL); }
  } killer{pid};
  std::string proc = "/proc/" + std::to_string(pid);
  ASSERT_TRUE(waitUntil([&] { return linkTarget(proc + "/exe").find("sleep") != std::string::npos; }));

  EXPECT_EQ(linkTarget(proc + "/cwd"), dir.path());
  EXPECT_EQ(openDescriptors(pid), (std::vector<int>{0, 1, 2})) << "descriptor " << leaked << " leaked";
  EXPECT_EQ(linkTarget(proc + "/fd/1"), "/dev/null");
  EXPECT_EQ(linkTarget(proc + "/fd/2"), "/dev/null");
  EXPECT_EQ(linkTarget(proc + "/fd/0"), linkTarget("/proc/self/fd/0")) << "standard input is inherited";
  EXPECT_EQ(::getsid(pid), pid) << "not a session of its own";
  // Nothing is left for us to reap: the intermediate is gone, the command is not our child.
  EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(DetachedLauncher, AMissingProgramOrDirectoryIsReportedAndLeavesNoChild) {
  RealDetachedLauncher launcher;
  EXPECT_EQ(launcher.launch({{"/nonexistent/program"}, std::nullopt}), LaunchResult::Failed);
  EXPECT_EQ(launcher.launch({{"/bin/true"}, "/nonexistent/directory"}), LaunchResult::Failed);
  EXPECT_EQ(launcher.launch({{}, std::nullopt}), LaunchResult::Failed);
  EXPECT_EQ(launcher.launch({{"/bin/true"}, "/"}), LaunchResult::Started);
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a child was left behind";
}

}  // namespace
