#pragma once
// Acting on the processes behind a port: the top dev ancestor, graceful stop
// with escalation, stopping a dev tree, restarting it.
#include "core/process_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

enum class Force { No, Yes };

namespace PortCore {

/// node, npm, npx, bun, turbo, pnpm, yarn, deno, next-server.
const std::unordered_set<std::string>& devCommands();

/// First word of the last path component of `comm` ("next-server (v14)" gives
/// "next-server"); empty when there is none.
std::string commandName(std::string_view comm);

/// The topmost ancestor of `leaf` reached through dev parents only, or `leaf`.
int32_t topDevAncestor(int32_t leaf, const ProcessTable& table);

/// SIGTERM, up to twenty 0.1 s liveness probes, then SIGKILL; with Force::Yes a
/// single SIGKILL. PIDs below 2 are never signalled. Blocks up to about 2 s.
void killProcess(int32_t pid, Force force);

/// Stops the top dev ancestor of `leaf` (from a fresh process table) gracefully.
void killTree(int32_t leaf);

/// The full command line of `pid`, absent when it cannot be read.
std::optional<std::string> commandLine(int32_t pid);

/// Stops the top dev ancestor of `leaf` and starts its command line again in its
/// working directory, detached, output discarded. Does nothing when the command
/// line cannot be read or the process belongs to another user.
void restartTree(int32_t leaf);

}  // namespace PortCore
