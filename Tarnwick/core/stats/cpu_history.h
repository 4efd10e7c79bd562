#pragma once
// The previous CPU sample of each process, so that the next sample can tell
// the use since then, as top does.
#include "core/system/clock.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>

class CpuHistory {
 public:
  /// Samples closer together than this repeat the figure of the last interval
  /// instead of measuring a few ticks.
  static constexpr std::chrono::milliseconds kMinInterval{250};
  /// Processes not sampled for this long are forgotten.
  static constexpr std::chrono::minutes kForgetAfter{10};

  /// Records `cpuTicks` of the process `pid` started at `startTicks`, seen at
  /// `at`, and returns its CPU percent since its previous sample. Absent for
  /// the first sample of a process (a reused PID, with another start, counts
  /// as a new process). Safe from several threads.
  std::optional<double> record(int32_t pid, int64_t startTicks, int64_t cpuTicks, Clock::Duration at,
                               int64_t ticksPerSecond);

  /// Drops the processes last sampled before `at - kForgetAfter`.
  void forgetStale(Clock::Duration at);

 private:
  struct Sample {
    int64_t startTicks;
    int64_t cpuTicks;
    Clock::Duration at;
    std::optional<double> percent;  ///< of the interval that ended at `at`
  };

  std::mutex mutex_;
  std::unordered_map<int32_t, Sample> samples_;
};
