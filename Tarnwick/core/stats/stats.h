#pragma once
// Live CPU and memory per process.
#include "core/system/clock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CpuHistory;
class ProcStatReader;
class ToolRunner;

struct ProcessStat {
  double cpu = 0;      ///< percent of one core, current use
  int64_t memMB = 0;   ///< resident memory, whole megabytes
  bool operator==(const ProcessStat&) const = default;
};

using StatsMap = std::unordered_map<int32_t, ProcessStat>;

/// Where the Linux form reads its samples and keeps the previous ones.
struct ProcStatsSeams {
  const ProcStatReader& proc;
  CpuHistory& history;
  const Clock& clock;
};

namespace PortCore {

/// CPU and resident memory of `pids` in one pass; a PID that cannot be read has
/// no entry; empty for no PIDs. On Linux the CPU figure is the use since the
/// process's previous sample in `history` (its lifetime average the first
/// time); on macOS it is what ps reports and `history` is not used.
StatsMap stats(const std::vector<int32_t>& pids, CpuHistory& history);
/// The same with no earlier samples: the command line's one-off figures.
StatsMap stats(const std::vector<int32_t>& pids);

/// stats() from a /proc tree, each CPU figure measured from the process's
/// previous sample in `history`. Reads nothing for no PIDs.
StatsMap stats(const std::vector<int32_t>& pids, const ProcStatsSeams& sources);

/// stats() from one `ps -o pid=,pcpu=,rss= -p LIST` run. Runs nothing for no PIDs.
StatsMap stats(const std::vector<int32_t>& pids, ToolRunner& runner);

/// The statistics in `ps -o pid=,pcpu=,rss=` output: lines of exactly three
/// numbers (PID, CPU percent, resident KiB); other lines are skipped; a PID
/// printed twice keeps its last line.
StatsMap parsePsStats(std::string_view output);

/// "512 MB" below 1024 MB, else "1.5 GB".
std::string formatMem(int64_t mb);

}  // namespace PortCore
