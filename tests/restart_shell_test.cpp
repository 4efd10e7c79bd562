#include "core/process/restart_shell.h"
#include "core/system/tool_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

// What a real login shell runs: every hostile argument arrives whole.
TEST(RestartShellCommand, RealShellsPassTheArgumentsUnsplit) {
  const std::vector<std::string> args{"/usr/bin/printf", "%s\\n", "my app", "it's", "$HOME", "`id`", "a\\b",
                                      "", "*", "~", "=x", "tab\there", "semi;colon", "\"dq\"", "ünï"};
  std::string expected;
  for (size_t i = 2; i < args.size(); ++i) expected += args[i] + "\n";
  for (const char* shell : {"/bin/sh", "/bin/bash", "/bin/zsh", "/usr/bin/zsh", "/bin/dash"}) {
    if (::access(shell, X_OK) != 0) continue;
    auto argv = PortCore::restartShellCommand(shell, args);
    EXPECT_EQ(PortCore::runTool(argv.front(), {argv.begin() + 1, argv.end()}), expected) << shell;
  }
}

TEST(UsableLoginShell, FallsBackToShWhenTheEntryCannotServe) {
  const std::pair<const char*, const char*> cases[] = {
      {"/bin/bash", "/bin/bash"}, {nullptr, "/bin/sh"},    {"bash", "/bin/sh"},
      {"/usr/sbin/nologin", "/bin/sh"}, {"/bin/false", "/bin/sh"}, {"/etc/passwd", "/bin/sh"}};
  for (const auto& [shell, used] : cases)
    EXPECT_EQ(PortCore::usableLoginShell(shell), used) << (shell ? shell : "(none)");
}
