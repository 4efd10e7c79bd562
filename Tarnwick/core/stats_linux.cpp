#include "core/stats.h"

#include "core/cpu_history.h"
#include "core/proc_stat.h"

namespace PortCore {

StatsMap stats(const std::vector<int32_t>& pids) {
  // One history for the whole process: the panel's refresh and its live loop
  // both sample, and each sample measures from the one before it.
  static CpuHistory history;
  static const ProcStatReader proc;
  return stats(pids, ProcStatsSources{proc, history, systemClock()});
}

}  // namespace PortCore
