#include "core/process/restart_plan.h"
#include "core/process/restart_shell.h"
#include "support/fake_tool_runner.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

Credentials allOf(uint32_t user, uint32_t group) { return {{user, user, user, user}, {group, group, group, group}}; }

// Which processes come back and which are refused before anything stops. The
// programs are real files: a project folder holding bin/server, and the
// system's own node and npm.
TEST(PlanRestart, ComesBackOnlyWhatCanRunAgainWithOurRights) {
  TempDir project;
  ::chmod(project.write("bin/server", "#!/bin/sh\n").c_str(), 0755);
  project.write("notes.txt", "");
  const std::string shell = "/bin/sh";
  struct Case {
    const char* name;
    std::vector<std::string> arguments;  // the process's
    ActionOutcome refusal;
    std::vector<std::string> runs;  // what a restart runs
    std::optional<std::string> searchPath = "/usr/bin:/bin";  // the process's PATH
    Credentials credentials = allOf(1000, 1000);
    bool directoryGone = false;
    std::optional<Credentials> ours = allOf(1000, 1000);
  };
  using enum ActionOutcome;
  const auto setuid = Credentials{{1000, 0, 0, 0}, {1000, 1000, 1000, 1000}};
  const auto setgid = Credentials{{1000, 1000, 1000, 1000}, {1000, 50, 50, 50}};
  const Case cases[] = {
      {"npm's title", {"npm run dev"}, Done, {"/usr/bin/npm", "run", "dev"}},
      {"relative to its folder", {"./bin/server", "a b"}, Done, {project.path() + "/./bin/server", "a b"}},
      {"a relative PATH entry", {"server"}, Done, {project.path() + "/bin/server"}, "bin"},
      {"found by the login shell", {"dev-tool"}, Done, {"/usr/bin/env"}, std::nullopt},
      {"a title that names no runner", {"postgres: checkpointer"}, RestartRetitled, {}},
      {"a runner's title with more commands", {"npm run dev; id"}, RestartRetitled, {}},
      {"no arguments", {}, RestartNoCommand, {}},
      {"folder gone", {"node", "server.js"}, RestartNoDirectory, {}, "/usr/bin", allOf(1000, 1000), true},
      {"no such program", {"no-such-program-here"}, RestartNoProgram, {}},
      {"not executable", {"./notes.txt"}, RestartNoProgram, {}},
      {"a folder is no program", {"./bin"}, RestartNoProgram, {}},
      {"setuid: effective root", {"node"}, RestartForeign, {}, "/usr/bin", setuid},
      {"setgid", {"node"}, RestartForeign, {}, "/usr/bin", setgid},
      // Our own rights must be one user's too.
      {"root's own process", {"/bin/true"}, Done, {"/bin/true"}, "/usr/bin", allOf(0, 0), false, allOf(0, 0)},
      {"we are not one user", {"/bin/true"}, RestartForeign, {}, "/usr/bin", setuid, false, setuid},
      {"our rights unknown", {"/bin/true"}, RestartForeign, {}, "/usr/bin", allOf(0, 0), false, std::nullopt},
  };
  for (const auto& c : cases) {
    FakeToolRunner tools;
    // Only the row without a PATH of its own asks the login shell.
    if (!c.searchPath) tools.outputs[shell] = "/usr/bin/env\n";
    RestartFacts facts{c.arguments, project.path(), c.searchPath, c.credentials};
    if (c.directoryGone) facts.directory.reset();
    auto plan = PortCore::planRestart(facts, c.ours, shell, tools);
    EXPECT_EQ(plan.refusal, c.refusal) << c.name;
    if (c.refusal != ActionOutcome::Done) continue;
    EXPECT_EQ(plan.command, (DetachedCommand{PortCore::restartShellCommand(shell, c.runs), project.path()})) << c.name;
  }
}

}  // namespace
