#include "app/modes.h"
#include "core/process/process_control.h"
#include "core/scan/scan.h"
#include "core/scan/scan_source.h"

#include <cstdio>
#include <functional>
#include <string>
#include <unordered_set>

namespace {

std::vector<PortEntry> entriesOnPort(const std::vector<PortEntry>& entries, const ModeValue& value) {
  std::vector<PortEntry> matching;
  const auto* port = std::get_if<int64_t>(&value);
  if (!port) return matching;
  for (const auto& entry : entries)
    if (entry.port == *port) matching.push_back(entry);
  return matching;
}

// Each line is flushed before the blocking stop that follows it, so a
// terminal shows what is being stopped while it happens.
void printLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void reportOutcome(int32_t pid, ActionOutcome outcome) {
  if (outcome == ActionOutcome::Done) return;
  auto english = PortCore::outcomeText(outcome).english;
  std::fprintf(stderr, "pid %d: %.*s\n", static_cast<int>(pid), static_cast<int>(english.size()), english.data());
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
    auto identity = PortCore::identityOf(entry.pid, scan.startTimes);
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
  auto sources = PortCore::systemControlSources(*scan);
  actOnPort(
      value, [&](const ProcessIdentity& target) { return PortCore::prepareKill(target, sources.signaller); },
      [](const PortEntry& entry, const PreparedAction&) {
        return "killing " + entry.command + " pid " + std::to_string(entry.pid);
      },
      [](const PreparedAction& action) { return PortCore::stop(action, Force::No); });
  return 0;
}

int runKillTreeMode(const ModeValue& value) {
  auto scan = PortCore::makeSystemScanSource();
  auto sources = PortCore::systemControlSources(*scan);
  actOnPort(
      value, [&](const ProcessIdentity& leaf) { return PortCore::prepareTreeStop(leaf, sources); },
      [](const PortEntry& entry, const PreparedAction& action) {
        return "leaf " + std::to_string(entry.pid) + " (" + entry.command + ") -> tree root " +
               std::to_string(action.pid) + " (" + action.command + ")";
      },
      [](const PreparedAction& action) { return PortCore::stop(action, Force::No); });
  return 0;
}

int runRestartMode(const ModeValue& value) {
  auto scan = PortCore::makeSystemScanSource();
  auto sources = PortCore::systemControlSources(*scan);
  actOnPort(
      value, [&](const ProcessIdentity& leaf) { return PortCore::prepareRestart(leaf, sources); },
      [](const PortEntry& entry, const PreparedAction&) {
        return "restarting tree of pid " + std::to_string(entry.pid);
      },
      [&](const PreparedAction& action) { return PortCore::restart(action, sources.launcher); });
  return 0;
}
