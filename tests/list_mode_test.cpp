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
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace {

// What the list must show for a tw_listener; the ancestry's own reading is
// checked against ps in the scan's tests.
PortEntry entryOf(pid_t pid, int64_t port, const std::string& user, const std::string& cwd) {
  auto ancestry = PortCore::ancestry(pid, PortCore::makeSystemScanSource()->processes());
  return {port, "127.0.0.1", pid, "tw_listener", user, ancestry.chain, ancestry.root, cwd,
          std::string(PortCore::lastPathComponent(cwd))};
}

// Run without privileges, the list and the light poll hold that user's own
// listener, with its details, and none of root's. The programs are copied
// where `nobody` may run them.
TEST(ListMode, AnUnprivilegedUserSeesItsOwnListenersOnly) {
  std::vector<int> rootPorts;
  std::optional<TestProcess> rootListener;  // someone else's only when we are root
  if (::geteuid() == 0) rootListener = startListener({"--bind", "dual:0"}, &rootPorts);
  TempDir bin;
  std::filesystem::permissions(bin.path(), std::filesystem::perms(0755));
  for (const auto& program : {tarnwickPath(), listenerPath()})
    std::filesystem::copy_file(program, bin.path() + "/" + std::string(PortCore::lastPathComponent(program)));
  const std::string report = withoutRoot([&]() -> std::string {
    auto own = TestProcess::start({bin.path() + "/tw_listener", "--bind", "127.0.0.1:0"}, {bin.path(), {}});
    auto lines = own.readUntil("ready");
    if (!lines || !lines->front().starts_with("port ")) return "the listener did not start";
    const int ownPort = std::stoi(lines->front().substr(5));
    auto run = runProgram({bin.path() + "/tarnwick", "--list"});
    auto entries = decodePortEntries(run.out);
    if (run.status != 0 || !entries) return "--list failed: " + run.out;
    std::string wrong;
    if (std::ranges::count(*entries, entryOf(own.pid(), ownPort, ::getpwuid(::geteuid())->pw_name, bin.path())) != 1)
      wrong += "its own listener is not listed once; ";
    if (rootListener && std::ranges::any_of(*entries, [&](auto& entry) { return entry.pid == rootListener->pid(); }))
      wrong += "root's listener is listed; ";
    ProcScanSource source;
    auto seen = PortCore::listeningPortNumbers(source);
    if (std::ranges::count(seen, ownPort) != 1) wrong += "the light poll misses its own port; ";
    if (rootListener && std::ranges::count(seen, rootPorts.at(0))) wrong += "the light poll holds root's port; ";
    return wrong.empty() ? wrong : wrong + run.out;
  });
  EXPECT_EQ(report, "");
}

}  // namespace
