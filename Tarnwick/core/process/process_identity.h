#pragma once
// A process as the user saw it: its PID and the moment it started. A PID is
// handed to a new process once its holder has gone; the pair never is.
#include <cstdint>
#include <optional>
#include <unordered_map>

struct ProcessIdentity {
  int32_t pid = 0;
  /// Clock ticks after boot (field 22 of /proc/PID/stat) on Linux;
  /// microseconds since the epoch on macOS.
  uint64_t startTime = 0;
  bool operator==(const ProcessIdentity&) const = default;
};

/// PID to start time, read beside a scan.
using StartTimes = std::unordered_map<int32_t, uint64_t>;

namespace PortCore {

/// The start time of whatever process has `pid` now; absent when none does.
std::optional<uint64_t> processStartTime(int32_t pid);

/// `pid` with its start time from `times`; absent when `times` lacks it.
std::optional<ProcessIdentity> identityOf(int32_t pid, const StartTimes& times);

}  // namespace PortCore
