#pragma once
// The process table: PID to (parent PID, command), as `ps -axo pid=,ppid=,comm=` lists it.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct ProcessRow {
  int32_t ppid = 0;
  std::string comm;  ///< the executable as ps prints it, often a full path
  bool operator==(const ProcessRow&) const = default;
};

using ProcessTable = std::unordered_map<int32_t, ProcessRow>;

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
