#pragma once
// Start at login: an XDG autostart entry on Linux, a launch agent or the
// login-item service on macOS. Failures are swallowed; isEnabled() tells the outcome.
#include <string>

namespace LoginItem {

bool isEnabled();
void enable();
void disable();
/// The program to start at login: ~/.local/bin/tarnwick-menubar when it exists,
/// else the running executable with every link resolved.
std::string binaryPath();
/// The same for the home directory `home` and the running program's path
/// `executable` (made absolute and resolved here).
std::string binaryPath(const std::string& home, const std::string& executable);

/// The user's home directory: $HOME, else the password database.
std::string homeDirectory();

}  // namespace LoginItem
