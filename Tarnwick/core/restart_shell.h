#pragma once
// The shell that starts a stopped command line again: a login shell, so the
// command finds the tools the user's profile puts on the path.
#include <string>
#include <vector>

namespace PortCore {

/// The argument vector (shell path first) that runs `commandLine` through
/// this user's login shell with "-lc".
std::vector<std::string> restartShellCommand(const std::string& commandLine);

/// `shell` when it can serve: an absolute path to an executable that is not a
/// refusal such as nologin or false. Otherwise /bin/sh.
std::string usableLoginShell(const char* shell);

}  // namespace PortCore
