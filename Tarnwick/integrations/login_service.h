#pragma once
// The system's own login-item service, which only an application bundle may
// use (macOS 13 and later). Only the Qt module reaches it: it installs one when
// the running program is the bundle, and start at login then goes through it
// instead of a launch agent.
#include <memory>

class LoginService {
 public:
  virtual ~LoginService() = default;
  virtual bool isEnabled() = 0;
  /// Failures are swallowed; isEnabled() tells the outcome.
  virtual void enable() = 0;
  virtual void disable() = 0;
};

namespace LoginItem {

/// The service installed last; null when none was (Linux, the command-line
/// executable, a program run from outside its bundle).
std::shared_ptr<LoginService> service();
void installService(std::shared_ptr<LoginService> service);

}  // namespace LoginItem
