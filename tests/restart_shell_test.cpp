#include "core/process/process_facts.h"
#include "core/process/restart_plan.h"
#include "core/process/restart_shell.h"
#include "core/system/tool_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The shell a restart runs through, for the login shell a user may have: only
// a POSIX shell serves both `command -v` and `exec "$@"`; a csh answers "-lc"
// with "Unknown option", so it and every other shell give way to /bin/sh.
const std::pair<const char*, const char*> kShells[] = {
    {"/bin/sh", "/bin/sh"},
    {"/bin/bash", "/bin/bash"},
    {"/bin/dash", "/bin/dash"},
    {"/bin/zsh", "/bin/zsh"},
    {"/usr/bin/zsh", "/usr/bin/zsh"},
    {"/bin/ksh", "/bin/ksh"},
    {"/bin/mksh", "/bin/mksh"},
    {"/usr/bin/yash", "/usr/bin/yash"},
    {"/usr/bin/tcsh", "/bin/sh"},
    {"/bin/csh", "/bin/sh"},
    {"/usr/bin/fish", "/bin/sh"},
    {"/bin/rbash", "/bin/sh"},
    {"/usr/sbin/nologin", "/bin/sh"},
    {"/bin/false", "/bin/sh"},
    {"/etc/passwd", "/bin/sh"},
    {"/no/such/bash", "/bin/sh"},
    {"bash", "/bin/sh"},
    {nullptr, "/bin/sh"},
};

TEST(UsableLoginShell, OnlyAnInstalledPosixShellServes) {
  for (const auto& [shell, used] : kShells) {
    // A listed shell the machine lacks falls back like any other.
    bool installed = !shell || ::access(shell, X_OK) == 0;
    EXPECT_EQ(PortCore::usableLoginShell(shell), installed ? used : "/bin/sh") << (shell ? shell : "(none)");
  }
}

// Through the shell every other gives way to, for real: the program is found by
// the shell's own lookup and started with every hostile argument arriving whole.
// Which shells read the same scripts alike is the table above.
TEST(UsableLoginShell, LooksUpAndLaunchesThroughTheShell) {
  // env, because no shell has it built in: `command -v` then prints its path.
  const std::vector<std::string> args{"env", "printf", "%s\\n", "my app", "it's", "$HOME", "`id`", "a\\b",
                                      "", "*", "~", "=x", "tab\there", "semi;colon", "\"dq\"", "ünï"};
  std::string expected;
  for (size_t i = 3; i < args.size(); ++i) expected += args[i] + "\n";
  auto ours = PortCore::systemProcessFacts().ownCredentials();
  ASSERT_TRUE(ours);
  // No PATH of its own: only the shell's lookup can find env.
  auto plan = PortCore::planRestart({args, "/", std::nullopt, ours}, ours, "/bin/sh", PortCore::systemToolRunner());
  ASSERT_TRUE(plan.ready());
  const auto& argv = plan.command.argv;
  EXPECT_EQ(argv.at(4).front(), '/');
  EXPECT_EQ(PortCore::runTool(argv.front(), {argv.begin() + 1, argv.end()}), expected);
}

}  // namespace
