// `tarnwick --list` against real listeners started by the test.
#include "core/scan/scan_source_linux.h"
#include "core/scan/processes.h"
#include "core/scan/scan.h"
#include "core/system/number.h"
#include "support/port_entry_printer.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What the list must show for a tw_listener; the ancestry's own reading is
// checked against ps in the scan's tests.
PortEntry entryOf(pid_t pid, int64_t port, const std::string& user, const std::string& cwd) {
  auto ancestry = PortCore::ancestry(pid, PortCore::makeSystemScanSource()->processes());
  return {port, "127.0.0.1", pid, "tw_listener", user, ancestry.chain, ancestry.root, cwd,
          std::string(PortCore::lastPathComponent(cwd))};
}

constexpr uid_t nobody = 65534;

// The ports of the light poll as `nobody` sees them, from a forked child.
std::vector<int64_t> portsSeenByNobody() {
  int pipe[2];
  if (::pipe(pipe) != 0) return {};
  pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(1);
    ProcScanSource source;
    for (int64_t port : PortCore::listeningPortNumbers(source))
      if (::write(pipe[1], &port, sizeof port) != sizeof port) ::_exit(1);
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::vector<int64_t> ports;
  for (int64_t port; ::read(pipe[0], &port, sizeof port) == sizeof port;) ports.push_back(port);
  ::close(pipe[0]);
  int status = -1;
  EXPECT_TRUE(::waitpid(child, &status, 0) == child && status == 0);
  return ports;
}

// Run without privileges, the list and the light poll hold that user's own
// listener, with its details, and none of root's. The programs are copied
// where `nobody` may run them.
TEST(ListMode, AnUnprivilegedUserSeesItsOwnListenersOnly) {
  SKIP_UNLESS_ROOT("acting as another user needs root");
  std::vector<int> rootPorts;
  auto rootListener = startListener({"--bind", "dual:0"}, &rootPorts);
  ASSERT_EQ(rootPorts.size(), 1u);
  TempDir bin;
  std::filesystem::permissions(bin.path(), std::filesystem::perms(0755));
  for (const auto& program : {tarnwickPath(), listenerPath()})
    std::filesystem::copy_file(program, bin.path() + "/" + std::string(PortCore::lastPathComponent(program)));
  auto asNobody = [](std::vector<std::string> argv) {
    argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    return argv;
  };
  auto own = TestProcess::start(asNobody({bin.path() + "/tw_listener", "--bind", "127.0.0.1:0"}), {bin.path(), {}});
  auto lines = own.readUntil("ready");
  ASSERT_TRUE(lines && lines->front().rfind("port ", 0) == 0);
  int ownPort = std::stoi(lines->front().substr(5));

  auto run = runProgram(asNobody({bin.path() + "/tarnwick", "--list"}));
  EXPECT_EQ(run.status, 0);
  auto entries = decodePortEntries(run.out);
  ASSERT_TRUE(entries) << run.out;
  auto ownEntry = entryOf(own.pid(), ownPort, ::getpwuid(nobody)->pw_name, bin.path());
  EXPECT_EQ(std::ranges::count(*entries, ownEntry), 1) << run.out;
  EXPECT_TRUE(std::ranges::none_of(*entries, [&](auto& entry) { return entry.pid == rootListener.pid(); })) << run.out;

  auto seen = portsSeenByNobody();
  EXPECT_EQ(std::ranges::count(seen, ownPort), 1);
  EXPECT_EQ(std::ranges::count(seen, rootPorts[0]), 0) << "root's listener";
}

}  // namespace
