#pragma once
// Process records read from a /proc tree: parent, command name, start time
// from /proc/PID/stat and the owner of /proc/PID.
#include "core/scan/processes.h"
#include "core/system/proc_files.h"
#include "core/system/unique_fd.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace PortCore {

/// The fields of a /proc/PID/stat line, owner left unknown. The comm runs
/// from the first "(" to the last ")", since a program may put either in its
/// name; absent when the line does not fit.
std::optional<ProcessRecord> parseProcStat(std::string_view stat);

/// The record of `pid` under the /proc directory `root` with its owner;
/// absent when the process is gone, its stat does not parse, or its owner
/// cannot be looked at.
std::optional<ProcessRecord> readProcessRecord(int root, int32_t pid);

/// The start time in `root`/PID/stat; absent when there is no such process.
std::optional<uint64_t> processStartTime(const ProcRoot& root, int32_t pid);

/// Adds to `table` the records of `pid` and its ancestors (owners left
/// unknown), as far up as a scan reports a chain, stopping at a process
/// already in `table` or gone.
void readChain(int root, int32_t pid, ProcessTable& table);

/// PID to the inode of /proc/PID (another process given the same PID gets
/// another inode).
using ProcListing = std::unordered_map<int32_t, uint64_t>;

/// The processes under the /proc directory `root`; empty when it cannot be listed.
ProcListing listProcesses(int root);

}  // namespace PortCore

/// The process table of a /proc tree, remembered between calls. Reading a
/// stat file is the costly part, so a call reads only the rows it needs that
/// may have changed: new processes and reused PIDs, processes whose parent
/// went away (they were re-parented); the names on the chains named fresh by
/// the caller are read every time. A row outside those chains is re-read when
/// the whole table is asked for, in turn a sixty-fourth of them per call, and
/// never later than sixty-four calls after it was read, which bounds how long
/// a name changed in place (exec, prctl) can be missed.
/// Not safe for concurrent calls: its owner serialises them.
class ProcTableCache {
 public:
  ProcTableCache() = default;
  ProcTableCache(const ProcTableCache&) = delete;
  ProcTableCache& operator=(const ProcTableCache&) = delete;

  enum class Extent { Chains, Everything };

  /// The records (parent and command) of the processes in `listing`, under
  /// the /proc directory `root`: of `fresh` and their ancestors, or of every
  /// process. The chains of `fresh` are read now, except the records in
  /// `justRead`, which the caller read a moment ago. A chain ends at a
  /// process that is not listed or has gone.
  ProcessTable read(int root, const PortCore::ProcListing& listing, const std::vector<int32_t>& fresh,
                    const ProcessTable& justRead, Extent extent);

 private:
  struct Row {
    uint64_t inode = 0;  ///< of /proc/PID when read: a reused PID gets another
    int32_t ppid = 0;
    std::string comm;
    uint64_t readAt = 0;  ///< the call that read it
  };

  bool stale(const PortCore::ProcListing& listing, int32_t pid, uint64_t inode) const;
  void forgetAbsent(const PortCore::ProcListing& listing);
  void readStale(int root, const PortCore::ProcListing& listing);
  const Row* currentRow(int root, const PortCore::ProcListing& listing, int32_t pid);
  std::optional<std::string> commOf(int root, int32_t pid);

  std::unordered_map<int32_t, Row> rows_;
  /// Open comm files of the chains read every call: reading an open one again
  /// costs one system call. Its process gone, the read fails.
  std::unordered_map<int32_t, PortCore::UniqueFd> commFiles_;
  uint64_t calls_ = 0;
};
