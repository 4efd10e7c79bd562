#pragma once
// Acting on the processes behind a port: the top dev ancestor, graceful stop
// with escalation, stopping a dev tree, restarting it.
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

/// SIGTERM, up to twenty 0.1 s liveness probes, then SIGKILL; with Force::Yes a
/// single SIGKILL. PIDs below 2 are never signalled. Blocks up to about 2 s.
void killProcess(int32_t pid, Force force);
void killProcess(int32_t pid, Force force, ProcessSignals& signaller);

/// Stops the top dev ancestor of `leaf` (from a fresh process table) gracefully.
void killTree(int32_t leaf);
void killTree(int32_t leaf, const ControlSources& sources);

/// The full command line of `pid`, absent when it cannot be read.
std::optional<std::string> commandLine(int32_t pid);
std::optional<std::string> commandLine(int32_t pid, ProcessFacts& facts);

/// Stops the top dev ancestor of `leaf` and starts its command line again in its
/// working directory, detached, output discarded. Does nothing when the command
/// line cannot be read, the process belongs to another user, or it is PID 0 or 1.
void restartTree(int32_t leaf);
void restartTree(int32_t leaf, const ControlSources& sources);

/// The real system.
ControlSources systemControlSources();

}  // namespace PortCore
