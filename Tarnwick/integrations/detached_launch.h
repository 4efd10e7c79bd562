#pragma once
// Starting a program that outlives the call: no shell, no waiting, no zombie.
#include <string>
#include <vector>

namespace DetachedLaunch {

/// Starts `program` (a path) with `args` in a session of its own, standard
/// streams on /dev/null and no inherited descriptors beyond them. False when
/// it could not be started from here (fork failed); a failing exec goes unseen.
bool start(const std::string& program, const std::vector<std::string>& args);

}  // namespace DetachedLaunch
