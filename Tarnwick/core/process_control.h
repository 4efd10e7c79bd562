#pragma once
// Acting on the processes behind a port: the top dev ancestor, graceful stop
// with escalation, stopping a dev tree, restarting it.
#include "core/action_outcome.h"
#include "core/process_identity.h"
#include "core/process_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

class DetachedLauncher;
class ProcessFacts;
class ProcessSignals;
class ScanSource;

enum class Force { No, Yes };

/// Everything tree control reaches in the system. The simple forms of the
/// operations use the real ones; tests pass recording ones.
struct ControlSources {
  ScanSource& scan;          ///< process table and working directories
  ProcessSignals& signaller;  ///< signals and the pauses between probes
  ProcessFacts& facts;       ///< command lines and owners
  DetachedLauncher& launcher;
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

/// Stops `target` when it is still the process that was listed: SIGTERM, up
/// to about 2 s waiting for its exit, then SIGKILL; with Force::Yes a single
/// SIGKILL. PIDs below 2 are never signalled. ProcessChanged when the PID has
/// gone or belongs to another process now.
ActionOutcome killProcess(const ProcessIdentity& target, Force force);

/// Confirms `leaf`, then stops the top dev ancestor found in a fresh process
/// table, gracefully.
ActionOutcome killTree(const ProcessIdentity& leaf);

/// Confirms `leaf`, plans the restart of its top dev ancestor in full (owner,
/// arguments, working directory, program), and only then stops it and starts
/// it again, detached. When no plan can be made nothing is stopped and the
/// outcome says why; LaunchFailed when it stopped but did not start again.
ActionOutcome restartTree(const ProcessIdentity& leaf);

/// The real system.
ControlSources systemControlSources();

}  // namespace PortCore
