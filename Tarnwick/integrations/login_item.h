#pragma once
// Start at login: an XDG autostart entry on Linux, a launch agent or the
// login-item service on macOS. Failures are swallowed; isEnabled() tells the outcome.
#include <string>

class LoginService;

namespace LoginItem {

/// `bundled` is the system's login-item service when the program runs from its
/// bundle (macOS), else null.
bool isEnabled(LoginService* bundled = nullptr);
void enable(LoginService* bundled = nullptr);
void disable(LoginService* bundled = nullptr);
/// The program to start at login: ~/.local/bin/tarnwick-menubar when it exists,
/// else the running executable with every link resolved.
std::string binaryPath();
/// The same for the home directory `home` and the running program's path
/// `executable` (made absolute and resolved here).
std::string binaryPath(const std::string& home, const std::string& executable);

/// The user's home directory: $HOME, else the password database.
std::string homeDirectory();

}  // namespace LoginItem
