#include "core/restart_shell.h"
#include "core/shell_command.h"
#include "core/tool_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;

std::string cmdline(const std::vector<std::string>& args) {
  std::string raw;
  for (const auto& arg : args) raw += arg + '\0';
  return raw;
}

TEST(ShellCommandFromCmdline, QuotesArgumentsButKeepsARewrittenTitle) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {cmdline({"node", "server.js", "--title", "my app"}), "node server.js --title 'my app'"},
      {"npm run dev"s + std::string(20, '\0'), "npm run dev"},
      {cmdline({"/usr/bin/postgres"}), "/usr/bin/postgres"},
      {"", std::nullopt},
      {std::string(8, '\0'), std::nullopt},
      {"   \0\0"s, std::nullopt},
  };
  for (const auto& [raw, command] : cases) EXPECT_EQ(PortCore::shellCommandFromCmdline(raw), command) << raw;
}

// What a real shell makes of the text: every hostile argument comes back whole.
TEST(ShellCommandFromCmdline, RealShellsReadBackTheSameArguments) {
  const std::vector<std::string> args{"printf", "%s\\n", "my app", "it's", "$HOME", "`id`", "a\\b",
                                      "", "*", "~", "=x", "tab\there", "semi;colon", "\"dq\"", "ünï"};
  std::string expected;
  for (size_t i = 2; i < args.size(); ++i) expected += args[i] + "\n";
  auto command = PortCore::shellCommandFromCmdline(cmdline(args));
  ASSERT_TRUE(command);
  for (const char* shell : {"/bin/sh", "/bin/bash", "/bin/zsh", "/usr/bin/zsh", "/bin/dash"}) {
    if (::access(shell, X_OK) != 0) continue;
    EXPECT_EQ(PortCore::runTool(shell, {"-c", *command}), expected)
        << shell;
  }
}

TEST(UsableLoginShell, FallsBackToShWhenTheEntryCannotServe) {
  const std::pair<const char*, const char*> cases[] = {
      {"/bin/bash", "/bin/bash"},
      {nullptr, "/bin/sh"},
      {"", "/bin/sh"},
      {"bash", "/bin/sh"},
      {"/usr/sbin/nologin", "/bin/sh"},
      {"/bin/false", "/bin/sh"},
      {"/nonexistent/zsh", "/bin/sh"},
      {"/etc/passwd", "/bin/sh"},
      {"/bin", "/bin/sh"},
  };
  for (const auto& [shell, used] : cases)
    EXPECT_EQ(PortCore::usableLoginShell(shell), used) << (shell ? shell : "(none)");
}

}  // namespace
