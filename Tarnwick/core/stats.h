#pragma once
// Live CPU and memory per process.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct ProcessStat {
  double cpu = 0;      ///< percent of one core, current use
  int64_t memMB = 0;   ///< resident memory, whole megabytes
  bool operator==(const ProcessStat&) const = default;
};

using StatsMap = std::unordered_map<int32_t, ProcessStat>;

namespace PortCore {

/// CPU and resident memory of `pids` in one pass; a PID that cannot be read has
/// no entry; empty for no PIDs.
StatsMap stats(const std::vector<int32_t>& pids);

/// "512 MB" below 1024 MB, else "1.5 GB".
std::string formatMem(int64_t mb);

}  // namespace PortCore
