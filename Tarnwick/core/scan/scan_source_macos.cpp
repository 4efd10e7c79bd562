#include "core/scan/scan_source.h"

#include "core/system/tool_runner.h"

#include <libproc.h>
#include <sys/proc_info.h>

namespace PortCore {

std::unique_ptr<ScanSource> makeSystemScanSource() {
  return std::make_unique<ToolScanSource>(systemToolRunner());
}

// The tools print no start time that tells two processes of one PID apart;
// libproc gives it to the microsecond.
std::optional<uint64_t> processStartTime(int32_t pid) {
  if (pid <= 0) return std::nullopt;
  struct proc_bsdinfo info{};
  if (::proc_pidinfo(pid, PROC_PIDTBSDINFO, 0, &info, sizeof info) != static_cast<int>(sizeof info))
    return std::nullopt;
  return static_cast<uint64_t>(info.pbi_start_tvsec) * 1'000'000u + static_cast<uint64_t>(info.pbi_start_tvusec);
}

}  // namespace PortCore
