#include "core/process_control.h"

#include "core/detached_launch.h"
#include "core/lsof_parse.h"
#include "core/process_facts.h"
#include "core/process_signals.h"
#include "core/restart_shell.h"
#include "core/scan_source.h"
#include "core/text.h"

#include <chrono>
#include <csignal>

namespace PortCore {

namespace {

constexpr int kLowestSignalledPid = 2;
constexpr int kProbesBeforeHardKill = 20;
constexpr std::chrono::microseconds kProbeInterval{100'000};

bool isDevCommand(std::string_view comm) { return devCommands().count(commandName(comm)) != 0; }

// The liveness probe fails both when the process has gone and when it may not
// be signalled: either way there is nothing more to send it.
void terminateGracefully(int32_t pid, ProcessSignals& signals) {
  if (pid < kLowestSignalledPid) return;
  signals.send(pid, SIGTERM);
  for (int probe = 0; probe < kProbesBeforeHardKill; ++probe) {
    signals.pause(kProbeInterval);
    if (signals.send(pid, 0) != SignalResult::Sent) return;
  }
  signals.send(pid, SIGKILL);
}

int32_t topOfFreshTable(int32_t leaf, ScanSource& scan) {
  return topDevAncestor(leaf, processTable(scan));
}

std::optional<std::string> workingDirectory(int32_t pid, ScanSource& scan) {
  auto map = cwdMap(scan.workingDirectories({pid}));
  auto found = map.find(pid);
  if (found == map.end()) return std::nullopt;
  return found->second;
}

// Starting another user's command line would run their text as us (and, for
// root, run anything any user could put in a process title).
bool ownedByUs(int32_t pid, ProcessFacts& facts) {
  auto owner = facts.owner(pid);
  return owner && *owner == facts.currentUser();
}

}  // namespace

const std::unordered_set<std::string>& devCommands() {
  static const std::unordered_set<std::string> names{
      "node", "npm", "npx", "bun", "turbo", "pnpm", "yarn", "deno", "next-server"};
  return names;
}

std::string commandName(std::string_view comm) {
  // Only the text after the last "/" counts, so a trailing "/" leaves no name.
  auto slash = comm.rfind('/');
  if (slash != std::string_view::npos) comm.remove_prefix(slash + 1);
  auto words = splitNonEmpty(comm, ' ');
  return words.empty() ? std::string() : std::string(words.front());
}

int32_t topDevAncestor(int32_t leaf, const ProcessTable& table) {
  auto leafRow = table.find(leaf);
  if (leafRow == table.end()) return leaf;
  std::unordered_set<int32_t> visited{leaf};
  int32_t current = leaf;
  int32_t parent = leafRow->second.ppid;
  while (parent >= kLowestSignalledPid && visited.insert(parent).second) {
    auto parentRow = table.find(parent);
    if (parentRow == table.end() || !isDevCommand(parentRow->second.comm)) break;
    current = parent;
    parent = parentRow->second.ppid;
  }
  return current;
}

void killProcess(int32_t pid, Force force, ProcessSignals& signals) {
  if (pid < kLowestSignalledPid) return;
  if (force == Force::Yes) {
    signals.send(pid, SIGKILL);
    return;
  }
  terminateGracefully(pid, signals);
}

void killTree(int32_t leaf, const ControlSources& sources) {
  terminateGracefully(topOfFreshTable(leaf, sources.scan), sources.signaller);
}

std::optional<std::string> commandLine(int32_t pid, ProcessFacts& facts) {
  return facts.commandLine(pid);
}

void restartTree(int32_t leaf, const ControlSources& sources) {
  int32_t top = topOfFreshTable(leaf, sources.scan);
  // Below 2 is the kernel or init: starting its command line again would
  // start a second init, never bring a service back.
  if (top < kLowestSignalledPid || !ownedByUs(top, sources.facts)) return;
  auto command = commandLine(top, sources.facts);
  if (!command) return;
  auto directory = workingDirectory(top, sources.scan);
  terminateGracefully(top, sources.signaller);
  sources.launcher.launch({restartShellCommand(*command), directory});
}

ControlSources systemControlSources() {
  return {systemScanSource(), systemSignals(), systemProcessFacts(), systemLauncher()};
}

void killProcess(int32_t pid, Force force) { killProcess(pid, force, systemSignals()); }
void killTree(int32_t leaf) { killTree(leaf, systemControlSources()); }
std::optional<std::string> commandLine(int32_t pid) { return commandLine(pid, systemProcessFacts()); }
void restartTree(int32_t leaf) { restartTree(leaf, systemControlSources()); }

}  // namespace PortCore
