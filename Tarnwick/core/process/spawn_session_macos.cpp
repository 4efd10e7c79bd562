#include "core/process/spawn_session.h"

#include <unistd.h>

namespace PortCore {

bool prepareNewSession(posix_spawn_file_actions_t& actions, posix_spawnattr_t&, short& flags) {
  // Every descriptor not named in the file actions is closed in the child.
  flags |= POSIX_SPAWN_SETSID | POSIX_SPAWN_CLOEXEC_DEFAULT;
  return posix_spawn_file_actions_addinherit_np(&actions, STDIN_FILENO) == 0;
}

}  // namespace PortCore
