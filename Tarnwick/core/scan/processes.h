#pragma once
// The processes a scan knows of: PID to record, as read from /proc or as
// `ps -axo pid=,ppid=,comm=` lists them, and the identity a record carries.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// A process as the user saw it: its PID and the moment it started. A PID is
/// handed to a new process once its holder has gone; the pair never is.
struct ProcessIdentity {
  int32_t pid = 0;
  /// Clock ticks after boot (field 22 of /proc/PID/stat) on Linux;
  /// microseconds since the epoch on macOS.
  uint64_t startTime = 0;
  bool operator==(const ProcessIdentity&) const = default;
};

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

namespace PortCore {

/// `pid` as its record in `table` identifies it; absent when the table has no
/// record of it or the record no start time.
std::optional<ProcessIdentity> identityOf(int32_t pid, const ProcessTable& table);

/// The start time of whatever process has `pid` now; absent when none does.
std::optional<uint64_t> processStartTime(int32_t pid);

/// Rows of `ps -axo pid=,ppid=,comm=` output; lines that do not fit are skipped,
/// a later row for the same PID replaces the earlier one.
ProcessTable parseProcessTable(std::string_view psOutput);

/// Ancestor names of `pid` (last path components, parent first, PIDs 0 and 1
/// never included, at most 20) and the last ancestor's PID, or `pid` itself
/// when the chain is empty. A parent link back to a PID already visited ends it.
Ancestry ancestry(int32_t pid, const ProcessTable& table);

}  // namespace PortCore
