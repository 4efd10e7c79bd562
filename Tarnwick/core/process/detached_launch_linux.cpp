#include "core/process/detached_launch.h"

namespace PortCore {

bool prepareNewSession(posix_spawn_file_actions_t& actions, posix_spawnattr_t&, short& flags) {
  flags |= POSIX_SPAWN_SETSID;
  return posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
}

}  // namespace PortCore
