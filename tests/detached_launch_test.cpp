#include "core/process/detached_launch.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string linkTarget(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::read_symlink(path, ignored).string();
}

// The launched shell tells its PID and becomes a sleep that the test inspects.
// Its output replaces whatever was at the log's name, a planted link included.
TEST(DetachedLauncher, StartsInItsOwnSessionWithOnlyTheStandardDescriptors) {
  TempDir dir;
  // A folder whose name no text shows as it is: it is entered byte for byte.
  const std::string folder = dir.path() + "/tab\there back\\slash \xff\xfe";
  std::filesystem::create_directory(folder);
  std::string pidFile = folder + "/pid", log = dir.path() + "/out.log", victim = dir.write("victim", "kept");
  std::filesystem::create_symlink(victim, log);
  int leaked = ::open("/dev/null", O_RDONLY);  // deliberately inheritable
  ASSERT_GE(leaked, 3);
  RealDetachedLauncher().launch({{"/bin/sh", "-c", "echo shown; echo $$ > pid.tmp && mv pid.tmp pid; exec sleep 30"},
                                 folder, log});
  ::close(leaked);
  ASSERT_TRUE(waitUntil([&] { return !readFile(pidFile).empty(); })) << "the command did not run";
  pid_t pid = std::stoi(readFile(pidFile));
  // Whatever happens below, the sleep goes.
  std::shared_ptr<void> killer(nullptr, [pid](void*) { ::kill(pid, SIGKILL); });
  std::string proc = "/proc/" + std::to_string(pid);
  ASSERT_TRUE(waitUntil([&] { return linkTarget(proc + "/exe").find("sleep") != std::string::npos; }));

  EXPECT_EQ(linkTarget(proc + "/cwd"), folder);
  // 0, 1 and 2 are checked below; nothing else may be open.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(proc + "/fd"), {}), 3)
      << "descriptor " << leaked << " leaked";
  for (const char* fd : {"/fd/1", "/fd/2"}) EXPECT_EQ(linkTarget(proc + fd), log) << fd;
  EXPECT_EQ(linkTarget(proc + "/fd/0"), "/dev/null") << "standard input is ours";
  EXPECT_EQ(readFile(log), "shown\n");
  EXPECT_EQ(readFile(victim), "kept");
  using std::filesystem::perms;
  EXPECT_EQ(std::filesystem::status(log).permissions() & perms::all, perms::owner_read | perms::owner_write);
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
  // Without an output file its output goes nowhere, not to ours.
  TempDir dir;
  const std::string script = "readlink /proc/$$/fd/1 /proc/$$/fd/2 | cat > out.tmp && mv out.tmp out";
  EXPECT_EQ(launcher.launch({{"/bin/sh", "-c", script}, dir.path()}), LaunchResult::Started);
  EXPECT_TRUE(waitUntil([&] { return readFile(dir.path() + "/out") == "/dev/null\n/dev/null\n"; }));
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "a child was left behind";
}

}  // namespace
