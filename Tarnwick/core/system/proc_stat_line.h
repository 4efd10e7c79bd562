#pragma once
// The fields Tarnwick reads from one /proc/[pid]/stat line: the scan's
// name, parent and start time, and the statistics' CPU time and resident set.
#include <cstdint>
#include <optional>
#include <string_view>

struct ProcStatLine {
  std::string_view comm;   ///< raw bytes between the first "(" and the last ")"
  int32_t ppid = 0;
  uint64_t startTime = 0;  ///< clock ticks after boot
  int64_t cpuTicks = 0;    ///< user plus system time, in clock ticks
  int64_t rssPages = 0;    ///< resident set, in pages
};

namespace PortCore {

/// The fields of `stat`, viewing into it. The comm runs from the first "(" to
/// the last ")", since a program may put either in its name, and the numbers
/// are counted after that ")"; absent when any of them is missing or not a
/// number.
std::optional<ProcStatLine> parseProcStatLine(std::string_view stat);

}  // namespace PortCore
