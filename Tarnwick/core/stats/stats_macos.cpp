#include "core/stats/stats.h"

#include "core/system/tool_runner.h"

namespace PortCore {

StatsMap stats(const std::vector<int32_t>& pids, CpuHistory&) { return stats(pids, systemToolRunner()); }

StatsMap stats(const std::vector<int32_t>& pids) { return stats(pids, systemToolRunner()); }

}  // namespace PortCore
