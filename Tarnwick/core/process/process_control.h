#pragma once
// Acting on the processes behind a port: the top dev ancestor, a graceful
// kill with escalation, killing a dev tree, restarting it.
#include "core/process/detached_launch.h"
#include "core/records/action_outcome.h"
#include "core/scan/processes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

class PinnedProcess;
class ProcessFacts;
class ProcessSignals;
class ScanSource;
class ToolRunner;

enum class Force { No, Yes };

/// Everything tree control reaches in the system. The simple forms of the
/// operations use the real ones; tests pass recording ones.
struct ControlSeams {
  ScanSource& scan;          ///< process table and working directories
  ProcessSignals& signaller;  ///< start times, and signals to a process held by its identity
  ProcessFacts& facts;       ///< arguments, directory, search path and rights; outlives a look given up on
  DetachedLauncher& launcher;
  ToolRunner& tools;         ///< the login shell's `command -v`
};

/// An action found ready or refused, before anything is sent: the command line
/// tells the user what it is about to do only once it is sure, then acts.
struct PreparedAction {
  ActionOutcome refusal = ActionOutcome::Done;  ///< Done when it can go ahead
  int32_t pid = 0;                              ///< the process acted on: the tree's top for tree actions
  std::string command;                          ///< its command in the fresh table (tree actions)
  std::shared_ptr<PinnedProcess> process;       ///< held while ready
  DetachedCommand relaunch;                     ///< restarts only
  bool ready() const { return refusal == ActionOutcome::Done; }
};

namespace PortCore {

/// node, npm, npx, bun, turbo, pnpm, yarn, deno, next-server.
const std::unordered_set<std::string>& devCommands();

/// First word of the last path component of `comm` ("next-server (v14)" gives
/// "next-server"); empty when there is none.
std::string commandName(std::string_view comm);

/// The topmost ancestor of `leaf` reached through dev parents only, or `leaf`.
/// A parent link back to a PID already visited ends the walk.
int32_t topDevAncestor(int32_t leaf, const ProcessTable& table);

/// Kills `target` when it is still the process that was listed: SIGTERM, up
/// to about 2 s waiting for its exit, then SIGKILL; with Force::Yes a single
/// SIGKILL. PIDs below 2 are never signalled. ProcessChanged when the PID has
/// gone or belongs to another process now.
ActionOutcome killProcess(const ProcessIdentity& target, Force force);

/// Confirms `leaf`, then kills the top dev ancestor found in a fresh process
/// table, gracefully.
ActionOutcome killTree(const ProcessIdentity& leaf);

/// Confirms `leaf`, plans the restart of its top dev ancestor in full (owner,
/// arguments, working directory, program), and only then kills it and starts
/// it again, detached, its output going to `log` (see prepareRestartLog).
/// When no plan can be made nothing is killed and the outcome says why;
/// LaunchFailed when it was killed but did not start again. Whether it binds its
/// port again is not waited for (see waitForHolder).
ActionOutcome restartTree(const ProcessIdentity& leaf, const std::optional<std::string>& log = std::nullopt);

/// The real system, reading processes through `scan`.
ControlSeams systemControlSeams(ScanSource& scan);

/// The steps of the operations above, each taking its sources.
PreparedAction prepareKill(const ProcessIdentity& target, ProcessSignals& signaller);
PreparedAction prepareTreeKill(const ProcessIdentity& leaf, const ControlSeams& sources);
PreparedAction prepareRestart(const ProcessIdentity& leaf, const ControlSeams& sources,
                              const std::optional<std::string>& log = std::nullopt);
/// The refusal of a prepared action that is not ready; otherwise the kill's outcome.
ActionOutcome killPrepared(const PreparedAction& action, Force force);
/// As killPrepared, gracefully, then the relaunch: LaunchFailed when it did not start.
ActionOutcome restart(const PreparedAction& action, DetachedLauncher& launcher);

ActionOutcome killProcess(const ProcessIdentity& target, Force force, ProcessSignals& signaller);
ActionOutcome killTree(const ProcessIdentity& leaf, const ControlSeams& sources);
ActionOutcome restartTree(const ProcessIdentity& leaf, const ControlSeams& sources,
                          const std::optional<std::string>& log = std::nullopt);

}  // namespace PortCore
