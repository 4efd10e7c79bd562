#include "core/process/detached_launch.h"

namespace PortCore {

bool prepareNewSession(posix_spawn_file_actions_t&, posix_spawnattr_t&, short& flags) {
  // Every descriptor not named in the file actions is closed in the child.
  flags |= POSIX_SPAWN_SETSID | POSIX_SPAWN_CLOEXEC_DEFAULT;
  return true;
}

}  // namespace PortCore
