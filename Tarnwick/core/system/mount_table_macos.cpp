#include "core/system/mount_table.h"

#include <sys/mount.h>
#include <sys/param.h>

namespace PortCore {

std::vector<Mount> readMountTable() {
  // MNT_NOWAIT answers from the kernel's cached list, asking no file system.
  struct statfs* list = nullptr;
  int count = ::getmntinfo(&list, MNT_NOWAIT);
  std::vector<Mount> mounts;
  for (int i = 0; i < count; ++i)
    mounts.push_back({list[i].f_mntonname, std::to_string(list[i].f_fsid.val[0]) + ":" +
                                               std::to_string(list[i].f_fsid.val[1])});
  return mounts;
}

}  // namespace PortCore
