#include "core/stats/cpu_history.h"

#include <algorithm>

std::optional<double> CpuHistory::record(int32_t pid, int64_t startTicks, int64_t cpuTicks, Clock::Duration at,
                                         int64_t ticksPerSecond) {
  std::lock_guard lock(mutex_);
  auto it = samples_.find(pid);
  if (it == samples_.end() || it->second.startTicks != startTicks) {
    samples_[pid] = {startTicks, cpuTicks, at, std::nullopt};
    return std::nullopt;
  }
  Sample& previous = it->second;
  Clock::Duration interval = at - previous.at;
  if (interval < kMinInterval) return previous.percent;
  double seconds = std::chrono::duration<double>(interval).count();
  double cpuSeconds = static_cast<double>(cpuTicks - previous.cpuTicks) / static_cast<double>(ticksPerSecond);
  double percent = std::max(0.0, 100.0 * cpuSeconds / seconds);
  previous = {startTicks, cpuTicks, at, percent};
  return percent;
}

void CpuHistory::forgetStale(Clock::Duration at) {
  std::lock_guard lock(mutex_);
  std::erase_if(samples_, [&](const auto& entry) { return at - entry.second.at > kForgetAfter; });
}
