#include "core/process/process_identity.h"

#include "core/scan/processes_linux.h"
#include "core/system/proc_files.h"

#include <cstdio>
#include <fcntl.h>

namespace PortCore {

std::optional<uint64_t> processStartTime(int32_t pid) {
  if (pid <= 0) return std::nullopt;
  char path[32];
  std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
  auto facts = parseProcStat(ProcFiles::readFile(AT_FDCWD, path));
  if (!facts) return std::nullopt;
  return facts->startTime;
}

}  // namespace PortCore
