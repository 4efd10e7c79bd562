#pragma once
// What the scan needs to know of one process, read from /proc/PID/stat and the
// owner of /proc/PID.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

struct StatFacts {
  std::string comm;        ///< raw bytes of the kernel's comm (at most 15 for user tasks)
  int32_t ppid = 0;
  uint64_t startTime = 0;  ///< clock ticks after boot: tells a reused PID from its predecessor
  int64_t uid = -1;        ///< owner of /proc/PID, as lsof reports it; -1 when unknown
};

using FactsByPid = std::unordered_map<int32_t, StatFacts>;

namespace PortCore {

/// Fields of a /proc/PID/stat line. The comm runs from the first "(" to the
/// last ")", since a program may put either in its name; absent when the line
/// does not fit.
std::optional<StatFacts> parseProcStat(std::string_view stat);

/// The stat facts of `pid` under the /proc directory `root`, its owner left
/// unknown; absent when the process is gone or its stat does not parse.
std::optional<StatFacts> readProcStat(int root, int32_t pid);

/// As readProcStat with the owner of /proc/PID; absent also when the owner
/// cannot be looked at.
std::optional<StatFacts> readProcessFacts(int root, int32_t pid);

}  // namespace PortCore
