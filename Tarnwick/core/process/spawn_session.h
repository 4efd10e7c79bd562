#pragma once
// The platform part of a detached launch: what posix_spawn needs to start a
// process in a new session holding only the standard descriptors it is given.
#include <spawn.h>

namespace PortCore {

/// Adds the new session and the closing of every descriptor above 2 (those
/// the file actions name are kept) to `actions` and `attributes`; false when the platform
/// refuses. Call before forking: it may allocate.
bool prepareNewSession(posix_spawn_file_actions_t& actions, posix_spawnattr_t& attributes,
                       short& flags);

}  // namespace PortCore
