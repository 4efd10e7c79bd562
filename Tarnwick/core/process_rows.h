#pragma once
// The process listing (`ps -axo pid=,ppid=,comm=`) read from /proc/PID/stat,
// remembered between calls. Formatting a stat file is the costly part of a
// listing, so a repeated call re-reads only the rows that may have changed:
// new processes and reused PIDs, processes whose parent went away (they were
// re-parented), the rows named fresh by the caller with all their ancestors,
// and, in turn, a sixty-fourth of the rest, which bounds how long a name
// changed in place (exec, prctl) can be missed outside those chains.
#include "core/stat_facts.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class ProcessRows {
 public:
  ProcessRows() = default;
  ProcessRows(const ProcessRows&) = delete;
  ProcessRows& operator=(const ProcessRows&) = delete;
  ~ProcessRows();

  /// The listing of every process under the /proc directory `root`, in PID
  /// order; the rows of `fresh` and of their ancestors are read now, except
  /// those in `justRead`, facts the caller read a moment ago.
  std::string list(int root, const std::vector<int32_t>& fresh, const FactsByPid& justRead = {});

 private:
  struct Row {
    uint64_t inode = 0;  ///< of /proc/PID when read: a reused PID gets another
    int32_t ppid = 0;
    std::string comm;
    uint64_t readAt = 0;  ///< the call that read it
  };

  std::optional<std::string> commOf(int root, int32_t pid);
  void forgetComm(int32_t pid);

  std::mutex mutex_;
  std::unordered_map<int32_t, Row> rows_;
  /// Open comm files of the chains read every call: reading an open one again
  /// costs one system call. Its process gone, the read fails.
  std::unordered_map<int32_t, int> commFiles_;
  uint64_t calls_ = 0;
};
