#pragma once
// What became of an action on a process (stop, tree stop, restart), and the
// words that tell the user.
#include <string_view>

enum class ActionOutcome {
  Done,
  ProcessChanged,      ///< the process listed has gone, or its PID is another's now: nothing sent
  NotPermitted,        ///< the system refused the signal
  RestartForeign,      ///< runs with rights other than ours (another user, setuid, setgid): nothing stopped
  RestartNoCommand,    ///< its arguments cannot be read: nothing stopped
  RestartRetitled,     ///< it rewrote its command line into a title that cannot run again: nothing stopped
  RestartNoDirectory,  ///< its working directory is gone: nothing stopped
  RestartNoProgram,    ///< its program cannot be found: nothing stopped
  LaunchFailed,        ///< stopped, but it could not be started again
};

struct OutcomeText {
  std::string_view key;      ///< the localisation key (snake_case)
  std::string_view english;  ///< the same text in English, for the command line
};

namespace PortCore {
/// The key and English text of `outcome`; Done has empty ones.
OutcomeText outcomeText(ActionOutcome outcome);
}  // namespace PortCore
