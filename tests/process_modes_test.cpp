// The kill, kill-tree and restart modes against real processes: a listener
// with a hostile name, a real npm script running a small node server, and that
// server on its own.
#include "core/scan/process_table.h"
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

// Every process carrying the project's marker in its environment: the npm tree,
// and whatever a restart started in a session of its own.
std::vector<pid_t> markedProcesses(const std::string& marker) {
  std::vector<pid_t> pids;
  for (const auto& [pid, row] : PortCore::processTable()) {
    std::string environ = '\0' + readFile("/proc/" + std::to_string(pid) + "/environ");
    if (pid != ::getpid() && environ.find('\0' + marker + '\0') != std::string::npos && processAlive(pid))
      pids.push_back(pid);
  }
  return pids;
}

// A package whose "dev" script runs a node server on a fixed free port, and the
// environment that keeps npm off the network and out of the user's files. On
// destruction every process of the project ends, restarted ones included.
struct NpmProject {
  NpmProject() : port(freeLoopbackPort()) {
    dir.write("server.js",
              "const port = Number(process.argv[process.argv.length - 1]);\n"
              "require('http').createServer((q, r) => r.end('ok')).listen(port, '127.0.0.1');\n");
    dir.write("package.json", "{\"name\":\"tw-npm-test\",\"scripts\":{\"dev\":\"node server.js " +
                                  std::to_string(port) + "\"}}\n");
  }
  ~NpmProject() { for (pid_t pid : markedProcesses(marker)) ::kill(pid, SIGKILL); }

  /// The one process listening on the port once it is there, else 0; never `old`.
  int32_t waitOwner(int32_t old = 0) {
    std::vector<int32_t> now;
    return waitUntil([&] { return (now = ownersOf(port)).size() == 1 && now[0] != old; }, 30s) ? now[0] : 0;
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

// The restarted command line and folder are the very bytes the process had,
// not text that went through a shell's or a terminal's hands, and the new
// process runs in a session of its own.
TEST(RestartMode, KeepsAnArgumentThatHoldsSpacesAndAFolderWhoseNameNoTextShows) {
  NpmProject project;
  const std::string odd = project.dir.path() + "/tab\there back\\slash \xff\xfe";
  std::filesystem::create_directory(odd);
  project.options.workingDirectory = odd;
  const std::vector<std::string> argv{"/usr/bin/node", project.dir.path() + "/server.js", "--title", "my app",
                                      std::to_string(project.port)};
  auto node = TestProcess::start(argv, project.options);
  ASSERT_EQ(project.waitOwner(), node.pid());

  auto tarnwick = TestProcess::start({tarnwickPath(), "--restart", std::to_string(project.port)}, project.options);
  EXPECT_EQ(tarnwick.readLine(30s), "restarting tree of pid " + std::to_string(node.pid()));
  node.waitForExit(15s);  // reaping the old process ends the probes
  EXPECT_TRUE(tarnwick.waitForExit(15s));
  int32_t now = project.waitOwner(node.pid());
  ASSERT_NE(now, 0) << "the port did not come back";
  std::string expected;
  for (const auto& arg : argv) expected += arg + '\0';
  EXPECT_EQ(readFile("/proc/" + std::to_string(now) + "/cmdline"), expected);
  EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(now) + "/cwd"), odd);
  EXPECT_NE(::getsid(now), ::getsid(0)) << "the restarted process shares our session";
}

}  // namespace
