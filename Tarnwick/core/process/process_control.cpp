#include "core/process/process_control.h"

#include "core/process/detached_launch.h"
#include "core/process/process_facts.h"
#include "core/process/process_signals.h"
#include "core/process/restart_plan.h"
#include "core/process/restart_shell.h"
#include "core/scan/scan_source.h"
#include "core/system/bounded_call.h"
#include "core/system/text.h"
#include "core/system/tool_runner.h"

#include <chrono>
#include <csignal>

namespace PortCore {

namespace {

constexpr int32_t kLowestSignalledPid = 2;
constexpr std::chrono::milliseconds kGraceBeforeHardKill{2000};

bool isDevCommand(std::string_view comm) { return devCommands().count(commandName(comm)) != 0; }

ActionOutcome outcomeOf(SignalResult result) {
  switch (result) {
    case SignalResult::Sent: return ActionOutcome::Done;
    case SignalResult::NoSuchProcess: return ActionOutcome::ProcessChanged;
    case SignalResult::PermissionDenied: return ActionOutcome::NotPermitted;
  }
  return ActionOutcome::ProcessChanged;
}

PreparedAction refused(int32_t pid, ActionOutcome why) {
  PreparedAction action;
  action.pid = pid;
  action.refusal = why;
  return action;
}

ActionOutcome killPinned(PinnedProcess& process, Force force) {
  if (force == Force::Yes) return outcomeOf(process.send(SIGKILL));
  auto term = process.send(SIGTERM);
  if (term != SignalResult::Sent) return outcomeOf(term);
  if (process.waitForExit(kGraceBeforeHardKill)) return ActionOutcome::Done;
  // Gone in the meantime is what was asked for.
  if (process.send(SIGKILL) == SignalResult::PermissionDenied) return ActionOutcome::NotPermitted;
  // A restart must not start the new process while the old one holds the port.
  process.waitForExit(kGraceBeforeHardKill);
  return ActionOutcome::Done;
}

// The leaf is confirmed first, so a tree is only looked for above the process
// that was listed; the top is then held at the moment it is found.
PreparedAction prepareTop(const ProcessIdentity& leaf, const ControlSeams& sources) {
  auto leafAction = prepareKill(leaf, sources.signaller);
  if (!leafAction.ready()) return leafAction;
  auto table = sources.scan.processes();
  int32_t top = topDevAncestor(leaf.pid, table);
  auto row = table.find(top);
  std::string command = row == table.end() ? "?" : row->second.comm;
  if (top == leaf.pid) {
    leafAction.command = command;
    return leafAction;
  }
  // An ancestor cannot have started after its descendant: a later start is a
  // new holder of a PID the tree's top has left.
  auto start = sources.signaller.startTime(top);
  if (!start || *start > leaf.startTime) return refused(top, ActionOutcome::ProcessChanged);
  auto action = prepareKill({top, *start}, sources.signaller);
  action.command = command;
  return action;
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

PreparedAction prepareKill(const ProcessIdentity& target, ProcessSignals& signaller) {
  // Below 2 is the kernel or init.
  if (target.pid < kLowestSignalledPid) return refused(target.pid, ActionOutcome::NotPermitted);
  PreparedAction action;
  action.pid = target.pid;
  action.process = signaller.pin(target);
  if (!action.process) action.refusal = ActionOutcome::ProcessChanged;
  return action;
}

PreparedAction prepareTreeKill(const ProcessIdentity& leaf, const ControlSeams& sources) {
  return prepareTop(leaf, sources);
}

PreparedAction prepareRestart(const ProcessIdentity& leaf, const ControlSeams& sources,
                              const std::optional<std::string>& log) {
  auto action = prepareTop(leaf, sources);
  if (!action.ready()) return action;
  // The folder is looked at on its own file system, which may not answer.
  auto facts = callWithin(kFileCheckLimit, [&facts = sources.facts, pid = action.pid] { return facts.restartFacts(pid); });
  if (!facts) return refused(action.pid, ActionOutcome::RestartNoDirectory);
  auto plan = planRestart(*facts, sources.facts.ownCredentials(), loginShell(), sources.tools);
  if (!plan.ready()) return refused(action.pid, plan.refusal);
  action.relaunch = std::move(plan.command);
  action.relaunch.output = log;
  return action;
}

ActionOutcome killPrepared(const PreparedAction& action, Force force) {
  if (!action.ready()) return action.refusal;
  return killPinned(*action.process, force);
}

ActionOutcome restart(const PreparedAction& action, DetachedLauncher& launcher) {
  auto killed = killPrepared(action, Force::No);
  if (killed != ActionOutcome::Done) return killed;
  return launcher.launch(action.relaunch) == LaunchResult::Started ? ActionOutcome::Done
                                                                     : ActionOutcome::LaunchFailed;
}

ActionOutcome killProcess(const ProcessIdentity& target, Force force, ProcessSignals& signaller) {
  return killPrepared(prepareKill(target, signaller), force);
}

ActionOutcome killTree(const ProcessIdentity& leaf, const ControlSeams& sources) {
  return killPrepared(prepareTreeKill(leaf, sources), Force::No);
}

ActionOutcome restartTree(const ProcessIdentity& leaf, const ControlSeams& sources,
                          const std::optional<std::string>& log) {
  return restart(prepareRestart(leaf, sources, log), sources.launcher);
}

ControlSeams systemControlSeams(ScanSource& scan) {
  return {scan, systemSignals(), systemProcessFacts(), systemLauncher(), systemToolRunner()};
}

ActionOutcome killProcess(const ProcessIdentity& target, Force force) {
  return killProcess(target, force, systemSignals());
}
ActionOutcome killTree(const ProcessIdentity& leaf) {
  return killTree(leaf, systemControlSeams(*makeSystemScanSource()));
}
ActionOutcome restartTree(const ProcessIdentity& leaf, const std::optional<std::string>& log) {
  return restartTree(leaf, systemControlSeams(*makeSystemScanSource()), log);
}

}  // namespace PortCore
