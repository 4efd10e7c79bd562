#pragma once
// The shell that starts a stopped process again: a login shell, so the program
// finds what the user's profile sets up (PATH, version managers), running the
// arguments as they are rather than as text to split again.
#include <string>
#include <vector>

namespace PortCore {

/// This user's login shell, or a fallback that can serve (see usableLoginShell).
std::string loginShell();

/// {shell, "-lc", "exec \"$@\"", "tarnwick", arguments...}: the shell reads
/// its profile, then replaces itself with exactly `arguments`.
std::vector<std::string> restartShellCommand(const std::string& shell, const std::vector<std::string>& arguments);

/// `shell` when it can serve: an absolute path to an executable that is not a
/// refusal such as nologin or false. Otherwise /bin/sh.
std::string usableLoginShell(const char* shell);

}  // namespace PortCore
