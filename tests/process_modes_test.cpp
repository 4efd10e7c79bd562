// The kill, kill-tree and restart modes against real processes: a listener
// with a hostile name, a real npm script running a small node server, and
// servers restarted.
#include "core/scan/processes.h"
#include "core/scan/scan_source.h"
#include "core/scan/scan.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

std::vector<int32_t> ownersOf(int port) {
  std::vector<int32_t> pids;
  for (const auto& entry : PortCore::listPorts()) if (entry.port == port) pids.push_back(entry.pid);
  return pids;
}

// Every process carrying the project's marker in its environment: the npm tree.
std::vector<pid_t> markedProcesses(const std::string& marker) {
  std::vector<pid_t> pids;
  for (const auto& [pid, row] : PortCore::makeSystemScanSource()->processes()) {
    std::string environ = '\0' + readFile("/proc/" + std::to_string(pid) + "/environ");
    if (pid != ::getpid() && environ.find('\0' + marker + '\0') != std::string::npos && processAlive(pid))
      pids.push_back(pid);
  }
  return pids;
}

// A package whose "dev" script runs a node server on a fixed free port, and the
// environment that keeps npm off the network and out of the user's files. On
// destruction every process of the project ends.
struct NpmProject {
  NpmProject() : port(freeLoopbackPort()) {
    dir.write("server.js",
              "const port = Number(process.argv[process.argv.length - 1]);\n"
              "require('http').createServer((q, r) => r.end('ok')).listen(port, '127.0.0.1');\n");
    dir.write("package.json", "{\"name\":\"tw-npm-test\",\"scripts\":{\"dev\":\"node server.js " +
                                  std::to_string(port) + "\"}}\n");
  }
  ~NpmProject() { for (pid_t pid : markedProcesses(marker)) ::kill(pid, SIGKILL); }

  /// The one process listening on the port once it is there, else 0.
  int32_t waitOwner() {
    std::vector<int32_t> now;
    return waitUntil([&] { return (now = ownersOf(port)).size() == 1; }, 30s) ? now[0] : 0;
  }

  TempDir home, dir;
  int port;
  std::string marker = "TARNWICK_TEST_TREE=" + std::to_string(::getpid()) + "-" + std::to_string(port);
  TestProcess::Options options{dir.path(), {"HOME=" + home.path(), "npm_config_offline=true", "npm_config_fund=false",
                                            "npm_config_update_notifier=false", "npm_config_audit=false", marker}};
};

// Any user names their process; whoever stops it reads the name on a terminal.
TEST(KillMode, PrintsAProcessNameThatHoldsEscapeSequencesAsVisibleEscapes) {
  TempDir dir;
  const std::string name = "\x1b[31mEVIL\x1b]0;t\x07";  // 15 bytes: all of it is the process name
  std::filesystem::create_symlink(listenerPath(), dir.path() + "/" + name);
  auto listener = TestProcess::start({dir.path() + "/" + name, "--bind", "127.0.0.1:0"});
  auto lines = listener.readUntil("ready");
  ASSERT_TRUE(lines && lines->size() == 2 && lines->front().starts_with("port "));
  auto tarnwick = runProgram({tarnwickPath(), "--kill", lines->front().substr(5)});
  EXPECT_EQ(tarnwick.out, "killing \\x1b[31mEVIL\\x1b]0;t\\x07 pid " + std::to_string(listener.pid()) + "\n");
  EXPECT_TRUE(listener.waitForExit(10s));
}

TEST(KillTreeMode, StopsARealNpmTree) {
  NpmProject project;
  auto npm = TestProcess::start({"/usr/bin/npm", "run", "dev"}, project.options);
  int32_t owner = project.waitOwner();
  ASSERT_NE(owner, 0);

  auto tarnwick = TestProcess::start({tarnwickPath(), "--kill-tree", std::to_string(project.port)}, project.options);
  auto line = tarnwick.readLine(30s).value_or("");
  EXPECT_TRUE(line.starts_with("leaf " + std::to_string(owner) + " (node) -> tree root ")) << line;
  EXPECT_TRUE(npm.waitForExit(15s)) << "npm outlived its tree";
  EXPECT_TRUE(tarnwick.waitForExit(15s));
  EXPECT_TRUE(waitUntil([&] { return markedProcesses(project.marker).empty(); }, 5s));
}

// `tarnwick --restart port` with its state under `state`: output and errors, and the exit status.
RunResult restart(int port, const TempDir& state) {
  return runProgram({"/bin/sh", "-c", "exec \"$0\" --restart \"$1\" 2>&1", tarnwickPath(), std::to_string(port)},
                    {.workingDirectory = {}, .extraEnv = {"XDG_STATE_HOME=" + state.path()}});
}

// The relaunched server writes to its log, in a folder only its user may
// enter (what else it takes of ours is the launcher's test). Then one whose
// relaunch exits at once is reported, with its log.
TEST(RestartMode, LogsTheRelaunchAndSaysWhenThePortDidNotComeBack) {
  TempDir state, folder;
  const int port = freeLoopbackPort();
  const std::string log = state.path() + "/tarnwick/restart-" + std::to_string(port) + ".log";
  auto listener = TestProcess::start({listenerPath(), "--bind", "127.0.0.1:" + std::to_string(port)});
  ASSERT_TRUE(listener.readUntil("ready"));

  auto run = restart(port, state);
  listener.waitForExit(5s);
  auto owners = ownersOf(port);
  std::shared_ptr<void> cleanup(nullptr, [&](void*) { for (int32_t pid : ownersOf(port)) ::kill(pid, SIGKILL); });
  EXPECT_EQ(run.out, "restarting tree of pid " + std::to_string(listener.pid()) + "\n");
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(owners.size(), 1u);
  ASSERT_NE(owners[0], listener.pid());
  EXPECT_TRUE(waitUntil([&] { return readFile(log).ends_with("ready\n"); }));
  EXPECT_EQ(std::filesystem::status(log.substr(0, log.rfind('/'))).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);

  // A server that binds once only: its relaunch finds the marker and exits.
  const std::string script = "const fs = require('fs'); if (fs.existsSync('marker')) process.exit(3);"
                             "fs.writeFileSync('marker', ''); console.log('first');"
                             "require('net').createServer().listen(Number(process.argv[1]), '127.0.0.1');";
  ::kill(owners[0], SIGKILL);
  ASSERT_TRUE(waitUntil([&] { return ownersOf(port).empty(); }));
  auto once = TestProcess::start({"/usr/bin/node", "-e", script, std::to_string(port)}, {folder.path(), {}});
  ASSERT_EQ(once.readLine(10s), "first");
  ASSERT_TRUE(waitUntil([&] { return ownersOf(port).size() == 1; }));
  run = restart(port, state);
  EXPECT_EQ(run.out, "restarting tree of pid " + std::to_string(once.pid()) + "\nport " + std::to_string(port) +
                         " did not come back within 15 s; see " + log + "\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(readFile(log).find("ready"), std::string::npos) << "replaced by the relaunch's";
}

// A server that takes its working directory with it when stopped cannot be
// started again there: it was stopped all the same, so the port is waited for
// and its absence reported.
TEST(RestartMode, ReportsARelaunchThatCannotStart) {
  TempDir state, folder;
  const std::string gone = folder.path() + "/gone";
  std::filesystem::create_directory(gone);
  const int port = freeLoopbackPort();
  const std::string script = "const fs = require('fs'); process.on('SIGTERM', () => {"
                             " fs.rmSync(process.cwd(), {recursive: true}); process.exit(0); });"
                             "require('net').createServer().listen(Number(process.argv[1]), '127.0.0.1');"
                             "console.log('ready');";
  auto server = TestProcess::start({"/usr/bin/node", "-e", script, std::to_string(port)}, {gone, {}});
  ASSERT_EQ(server.readLine(10s), "ready");
  ASSERT_TRUE(waitUntil([&] { return ownersOf(port).size() == 1; }));
  const std::string p = std::to_string(port), pid = std::to_string(server.pid());
  auto run = restart(port, state);
  EXPECT_EQ(run.out, "restarting tree of pid " + pid + "\npid " + pid +
                         ": Stopped, but it could not be started again\nport " + p +
                         " did not come back within 15 s; see " + state.path() + "/tarnwick/restart-" + p + ".log\n");
  EXPECT_EQ(run.status, 1);
}

}  // namespace
