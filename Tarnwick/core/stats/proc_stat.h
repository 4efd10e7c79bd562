#pragma once
// The CPU and memory counters of processes, read from a /proc tree.
#include "core/system/proc_files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// What /proc/[pid]/stat says about one process.
struct ProcCounters {
  int64_t startTicks = 0;  ///< start time after boot, in clock ticks
  int64_t cpuTicks = 0;    ///< user plus system time, in clock ticks
  int64_t rssPages = 0;    ///< resident set, in pages
  bool operator==(const ProcCounters&) const = default;
};

namespace PortCore {

/// The counters of one /proc/[pid]/stat text; absent when it does not have
/// them all. The command may hold spaces and parentheses: fields are counted
/// from the last ")".
std::optional<ProcCounters> parseProcCounters(std::string_view text);

}  // namespace PortCore

/// Reads counters from a /proc tree (the real one, or a fixture in tests).
class ProcStatReader {
 public:
  /// The tree at `root` with this system's clock tick and page size.
  explicit ProcStatReader(std::string root = "/proc");
  ProcStatReader(std::string root, int64_t ticksPerSecond, int64_t pageSize);

  /// Absent when the process is gone or its stat does not parse.
  std::optional<ProcCounters> counters(int32_t pid) const;
  /// Seconds since boot from root/uptime; absent when unreadable.
  std::optional<double> uptimeSeconds() const;

  int64_t ticksPerSecond() const { return ticksPerSecond_; }
  int64_t pageSize() const { return pageSize_; }

 private:
  ProcRoot root_;
  int64_t ticksPerSecond_;
  int64_t pageSize_;
};
