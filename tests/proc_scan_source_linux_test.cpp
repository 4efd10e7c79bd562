// The native /proc source against the real lsof and ps on the same live
// listeners, and its remembered (incremental) scan against a fresh one.
// Other processes on the machine come and go, so every comparison looks only
// at the processes these tests started.
#include "core/scan/scan_source_linux.h"
#include "core/scan/scan.h"
#include "core/system/tool_runner.h"
#include "support/port_entry_printer.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <future>
#include <fstream>
#include <set>
#include <sys/stat.h>

namespace {

std::vector<PortEntry> entriesOf(std::vector<PortEntry> entries, const std::set<pid_t>& pids) {
  std::erase_if(entries, [&](const PortEntry& entry) { return !pids.count(entry.pid); });
  return entries;
}

// The child `parent` started: it exists once a `tw_listener --fork` said
// "ready", whichever of the two printed it.
pid_t forkedChild(pid_t parent) {
  for (const auto& [pid, row] : PortCore::makeSystemScanSource()->processes()) if (row.ppid == parent) return pid;
  ADD_FAILURE() << "no child of " << parent;
  return -1;
}

TEST(ProcScanSourceSerial, ReadsWhatLsofAndPsReportForTheSameListeners) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"IPv4 loopback", {"--bind", "127.0.0.1:0"}},
      {"IPv6 loopback", {"--bind", "::1:0"}},
      {"dual stack and both any addresses", {"--bind", "dual:0", "--bind", "0.0.0.0:0", "--bind", ":::0"}},
      {"forked child sharing the socket", {"--fork", "--bind", "127.0.0.1:0"}},
      {"working directory /", {"--chdir", "/", "--bind", "127.0.0.1:0"}},
  };
  // Two processes listening on one port with SO_REUSEPORT.
  std::vector<int> reused;
  std::vector<TestProcess> processes;
  processes.push_back(startListener({"--reuseport", "--bind", "127.0.0.1:0"}, &reused));
  ASSERT_FALSE(reused.empty());
  processes.push_back(startListener({"--reuseport", "--bind", "127.0.0.1:" + std::to_string(reused.front())}));
  std::set<pid_t> pids{processes[0].pid(), processes[1].pid()};
  for (const auto& [name, args] : cases) {
    processes.push_back(startListener(args));
    pids.insert(processes.back().pid());
    if (args.front() == "--fork") pids.insert(forkedChild(processes.back().pid()));
  }

  ProcScanSource native;
  ToolScanSource tools(PortCore::systemToolRunner());
  auto scan = PortCore::scanPorts(native);
  auto entries = entriesOf(scan.entries, pids);
  EXPECT_EQ(entries, entriesOf(PortCore::listPorts(tools), pids));
  EXPECT_EQ(entries.size(), 10u);
  for (auto pid : pids) EXPECT_EQ(PortCore::identityOf(pid, scan.holders), (ProcessIdentity{pid, *PortCore::processStartTime(pid)})) << pid;
}

TEST(ProcScanSourceSerial, RepeatedScanMatchesAFreshOneThroughASequenceOfChanges) {
  ProcScanSource warm;
  std::set<pid_t> pids;
  std::vector<TestProcess> listeners;
  pid_t grandchild = -1;
  // A listener told through a FIFO to move, open or close its sockets while it lives on.
  TempDir dir;
  const std::string fifo = dir.path() + "/control";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::vector<int> ports;
  auto controlled = startListener({"--control", fifo, "--bind", "127.0.0.1:0"}, &ports);
  ASSERT_EQ(ports.size(), 1u) << "a control FIFO nobody reads would block the test";
  pids.insert(controlled.pid());
  std::ofstream control(fifo);
  auto command = [&](char what) { control << what << std::flush; ASSERT_EQ(controlled.readLine(), "done"); };

  // Each step changes the system, then the remembered scan must equal a fresh one.
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"first scan", [] {}},
      {"nothing changed", [] {}},
      {"a new listener", [&] { listeners.push_back(startListener({"--bind", "::1:0"})); }},
      {"a child inherits a listening socket", [&] {
         listeners.push_back(startListener({"--fork", "--bind", "127.0.0.1:0"}));
         pids.insert(forkedChild(listeners.back().pid()));
       }},
      {"a socket moves to another descriptor", [&] { command('m'); }},
      {"a running process opens a socket and starts a child that inherits it", [&] {
         command('n');
         pids.insert(grandchild = forkedChild(controlled.pid()));
       }},
      {"a socket is closed, its process lives on", [&] { command('c'); }},
      {"a listening process exits", [&] { listeners.front().killGroup(); }},
      {"the process that closed its socket exits, and its child with it", [&] {
         controlled.killGroup();
         EXPECT_TRUE(waitUntil([&] { return !processAlive(grandchild); }));
       }},
  };
  // Two overlapping scans of the remembered source give what one fresh scan gives.
  auto scanOf = [&](ProcScanSource& source) { return entriesOf(PortCore::listPorts(source), pids); };
  for (const auto& [name, change] : steps) {
    change();
    for (const auto& listener : listeners) pids.insert(listener.pid());
    auto first = std::async(std::launch::async, scanOf, std::ref(warm));
    auto second = std::async(std::launch::async, scanOf, std::ref(warm));
    ProcScanSource fresh;
    auto expected = scanOf(fresh);
    EXPECT_EQ(first.get(), expected) << name;
    EXPECT_EQ(second.get(), expected) << name;
  }
  // Other processes on the machine may open sockets of their own meanwhile
  // and send a scan back to a full walk now and then, but not every time.
  EXPECT_TRUE(waitUntil([&] {
    warm.snapshot();
    return warm.lastWalk() == ProcScanSource::LastWalk::Incremental;
  })) << "a repeated scan with nothing new should not walk every process";
}

}  // namespace
