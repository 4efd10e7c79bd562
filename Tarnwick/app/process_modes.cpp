#include "app/modes.h"
#include "core/process/process_control.h"
#include "core/process/restart_log.h"
#include "core/scan/port_watch.h"
#include "core/scan/scan.h"
#include "core/scan/scan_source.h"
#include "core/system/terminal_text.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>

namespace {

constexpr std::chrono::seconds kRestartWait{15};

std::vector<PortEntry> entriesOnPort(const std::vector<PortEntry>& entries, const ModeValue& value) {
  std::vector<PortEntry> matching;
  const auto* port = std::get_if<int64_t>(&value);
  if (!port) return matching;
  for (const auto& entry : entries)
    if (entry.port == *port) matching.push_back(entry);
  return matching;
}

// The line names processes, whose names their owners choose: it goes through
// the terminal renderer whole. Each line is flushed before the blocking stop
// that follows it, so a terminal shows what is being stopped while it happens.
void printLine(const std::string& line, std::FILE* stream = stdout) {
  std::string shown = PortCore::terminalText(line) + '\n';
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fflush(stream);
}

void reportOutcome(int32_t pid, ActionOutcome outcome) {
  if (outcome == ActionOutcome::Done) return;
  printLine("pid " + std::to_string(pid) + ": " + std::string(PortCore::outcomeText(outcome).english), stderr);
}

using Prepare = std::function<PreparedAction(const ProcessIdentity&)>;
using Announce = std::function<std::string(const PortEntry&, const PreparedAction&)>;
using Act = std::function<ActionOutcome(const PreparedAction&)>;

// A row is acted on only when its process is still the one listed (and, for
// a restart, the relaunch is planned): only then is its line printed.
void actOnPort(const ModeValue& value, const Prepare& prepare, const Announce& announce, const Act& act) {
  auto scan = PortCore::scanPorts(PortCore::Projects::Skip);
  std::unordered_set<int32_t> seen;
  for (const auto& entry : entriesOnPort(scan.entries, value)) {
    // One process listening on several addresses of the port is one action.
    if (!seen.insert(entry.pid).second) continue;
    auto identity = PortCore::identityOf(entry.pid, scan.holders);
    if (!identity) {
      reportOutcome(entry.pid, ActionOutcome::ProcessChanged);
      continue;
    }
    auto action = prepare(*identity);
    if (!action.ready()) {
      reportOutcome(entry.pid, action.refusal);
      continue;
    }
    printLine(announce(entry, action));
    reportOutcome(action.pid, act(action));
  }
}

}  // namespace

int runKillMode(const ModeValue& value) {
  auto scan = PortCore::makeSystemScanSource();
  auto sources = PortCore::systemControlSeams(*scan);
  actOnPort(
      value, [&](const ProcessIdentity& target) { return PortCore::prepareKill(target, sources.signaller); },
      [](const PortEntry& entry, const PreparedAction&) {
        return "killing " + entry.command + " pid " + std::to_string(entry.pid);
      },
      [](const PreparedAction& action) { return PortCore::killPrepared(action, Force::No); });
  return 0;
}

int runKillTreeMode(const ModeValue& value) {
  auto scan = PortCore::makeSystemScanSource();
  auto sources = PortCore::systemControlSeams(*scan);
  actOnPort(
      value, [&](const ProcessIdentity& leaf) { return PortCore::prepareTreeKill(leaf, sources); },
      [](const PortEntry& entry, const PreparedAction& action) {
        return "leaf " + std::to_string(entry.pid) + " (" + entry.command + ") -> tree root " +
               std::to_string(action.pid) + " (" + action.command + ")";
      },
      [](const PreparedAction& action) { return PortCore::killPrepared(action, Force::No); });
  return 0;
}

// A restart is only done once the port is held again: the relaunched command
// may exit at once (a missing module, a port still taken, the end of its input).
// One wait after every entry, for any new holder, since a tree may bind the
// port from another process than the one stopped.
int runRestartMode(const ModeValue& value) {
  auto scan = PortCore::makeSystemScanSource();
  auto sources = PortCore::systemControlSeams(*scan);
  const auto* port = std::get_if<int64_t>(&value);
  std::optional<std::string> log;
  bool stopped = false;
  std::vector<ProcessIdentity> former;
  actOnPort(
      value,
      [&](const ProcessIdentity& leaf) {
        former.push_back(leaf);
        log = PortCore::prepareRestartLog(*port);  // only once something holds the port
        return PortCore::prepareRestart(leaf, sources, log);
      },
      [](const PortEntry& entry, const PreparedAction&) {
        return "restarting tree of pid " + std::to_string(entry.pid);
      },
      [&](const PreparedAction& action) {
        auto outcome = PortCore::restart(action, sources.launcher);
        stopped = stopped || outcome == ActionOutcome::Done || outcome == ActionOutcome::LaunchFailed;
        return outcome;
      });
  if (!stopped || PortCore::waitForHolder(*port, kRestartWait, *scan, former)) return 0;
  std::string line = "port " + std::to_string(*port) + " did not come back within " +
                     std::to_string(kRestartWait.count()) + " s";
  if (log) line += "; see " + *log;
  printLine(line, stderr);
  return 1;
}
