#include "core/system/mount_table.h"

#include "core/system/proc_files.h"

namespace PortCore {

std::vector<Mount> readMountTable() {
  // Thousands of container mounts stay well under this.
  constexpr size_t limit = 16 << 20;
  return parseMountInfo(systemProcRoot().read("self/mountinfo", limit));
}

}  // namespace PortCore
