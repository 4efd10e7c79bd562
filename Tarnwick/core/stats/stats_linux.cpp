#include "core/stats/stats.h"

#include "core/stats/cpu_history.h"
#include "core/stats/proc_stat.h"

namespace PortCore {

StatsMap stats(const std::vector<int32_t>& pids, CpuHistory& history) {
  const ProcStatReader proc;
  return stats(pids, ProcStatsSeams{proc, history, systemClock()});
}

StatsMap stats(const std::vector<int32_t>& pids) {
  CpuHistory history;
  return stats(pids, history);
}

}  // namespace PortCore
