#pragma once
// The shell that starts a killed process again: a login shell, so the program
// finds what the user's profile sets up (PATH, version managers), running the
// arguments as they are rather than as text to split again.
#include <string>
#include <vector>

namespace PortCore {

/// The shell a restart runs through for this user: the login shell when it
/// can serve, else /bin/sh (see usableLoginShell).
std::string loginShell();

/// {shell, "-lc", "exec \"$@\"", "tarnwick", arguments...}: the shell reads
/// its profile, then replaces itself with exactly `arguments`.
std::vector<std::string> restartShellCommand(const std::string& shell, const std::vector<std::string>& arguments);

/// `shell` when it can serve both the program lookup (`command -v`) and the
/// launch above: an absolute path to an executable POSIX shell, told by its
/// base name (sh, bash, dash, zsh, ksh, mksh, yash). Otherwise /bin/sh, whose
/// login PATH may lack what the user's own shell adds (tcsh, csh, fish and
/// refusals such as nologin all come here).
std::string usableLoginShell(const char* shell);

}  // namespace PortCore
