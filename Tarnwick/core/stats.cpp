// Placeholder until statistics land.
#include "core/stats.h"

namespace PortCore {
StatsMap stats(const std::vector<int32_t>&) { return {}; }
std::string formatMem(int64_t mb) { return std::to_string(mb) + " MB"; }
}  // namespace PortCore
