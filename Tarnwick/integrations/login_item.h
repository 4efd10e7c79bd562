#pragma once
// Start at login: an XDG autostart entry on Linux, a launch agent or the
// login-item service on macOS. Failures are swallowed; isEnabled() tells the outcome.
#include <string>

/// The system's own login-item service, which only an application bundle may
/// use (macOS 13 and later). Only the Qt module reaches it: its context holds one
/// when the running program is the bundle, and start at login then goes through
/// it instead of a launch agent.
class LoginService {
 public:
  virtual ~LoginService() = default;
  virtual bool isEnabled() = 0;
  /// Failures are swallowed; isEnabled() tells the outcome.
  virtual void enable() = 0;
  virtual void disable() = 0;
};

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
