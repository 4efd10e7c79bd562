#pragma once
// The processes a scan knows of: PID to record, as read from /proc or as
// `ps -axo pid=,ppid=,comm=` lists them.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// One process as the scan sees it. Every name holds the bytes the system
/// has, unescaped.
struct ProcessRecord {
  int32_t ppid = 0;
  std::string comm;        ///< the command name (ps prints a full path on macOS)
  int64_t uid = -1;        ///< the owner; -1 when unknown
  std::string user{};      ///< the owner's login name; empty when unknown
  uint64_t startTime = 0;  ///< as ProcessIdentity has it; 0 when unknown
  bool operator==(const ProcessRecord&) const = default;
};

using ProcessTable = std::unordered_map<int32_t, ProcessRecord>;

/// The names of a process's ancestors, parent first, and the PID of the last one.
struct Ancestry {
  std::vector<std::string> chain;
  int32_t root = 0;
  bool operator==(const Ancestry&) const = default;
};

class ScanSource;

namespace PortCore {

/// Rows of `ps -axo pid=,ppid=,comm=` output; lines that do not fit are skipped,
/// a later row for the same PID replaces the earlier one.
ProcessTable parseProcessTable(std::string_view psOutput);

/// The process table of the running system (empty when it cannot be read).
ProcessTable processTable();
ProcessTable processTable(ScanSource& source);

/// Ancestor names of `pid` (last path components, parent first, PIDs 0 and 1
/// never included, at most 20) and the last ancestor's PID, or `pid` itself
/// when the chain is empty. A parent link back to a PID already visited ends it.
Ancestry ancestry(int32_t pid, const ProcessTable& table);

}  // namespace PortCore
