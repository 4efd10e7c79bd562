#pragma once
// The system's own login-item service, which only an application bundle may
// use (macOS 13 and later). Only the Qt module reaches it: its context holds one
// when the running program is the bundle, and start at login then goes through
// it instead of a launch agent.

class LoginService {
 public:
  virtual ~LoginService() = default;
  virtual bool isEnabled() = 0;
  /// Failures are swallowed; isEnabled() tells the outcome.
  virtual void enable() = 0;
  virtual void disable() = 0;
};
