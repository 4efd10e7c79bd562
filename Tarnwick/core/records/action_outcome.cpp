#include "core/records/action_outcome.h"

namespace PortCore {

// The same texts are in the resource bundle under these keys; the command line
// prints the English ones.
OutcomeText outcomeText(ActionOutcome outcome) {
  switch (outcome) {
    case ActionOutcome::Done: return {"", ""};
    case ActionOutcome::ProcessChanged: return {"process_changed", "The process has changed since the list was read"};
    case ActionOutcome::NotPermitted: return {"not_permitted", "Not permitted to stop this process"};
    case ActionOutcome::RestartForeign: return {"restart_foreign", "Not restarted: it runs with other rights than yours"};
    case ActionOutcome::RestartNoCommand: return {"restart_no_command", "Not restarted: its command line cannot be read"};
    case ActionOutcome::RestartRetitled: return {"restart_retitled", "Not restarted: its command line was rewritten"};
    case ActionOutcome::RestartNoDirectory: return {"restart_no_directory", "Not restarted: its folder no longer exists"};
    case ActionOutcome::RestartNoProgram: return {"restart_no_program", "Not restarted: its program cannot be found"};
    case ActionOutcome::LaunchFailed: return {"launch_failed", "Stopped, but it could not be started again"};
  }
  return {"", ""};
}

}  // namespace PortCore
