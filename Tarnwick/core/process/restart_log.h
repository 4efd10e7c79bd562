#pragma once
// Where a relaunched process writes: one log per port in the user's state
// folder, so that a relaunch that did not come back has a reason to show.
#include <cstdint>
#include <optional>
#include <string>

namespace PortCore {

/// STATE/tarnwick/restart-PORT.log, STATE being `stateHome` when it is an
/// absolute path, else `home`/.local/state; absent when neither serves.
std::optional<std::string> restartLogPath(int64_t port, const char* stateHome, const char* home);

/// restartLogPath from $XDG_STATE_HOME and $HOME, its folders created (private
/// to us) where missing; absent when they cannot be.
std::optional<std::string> prepareRestartLog(int64_t port);

}  // namespace PortCore
