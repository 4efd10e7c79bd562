#pragma once
// Starting a process that outlives this one: in a session of its own, output
// discarded, never waited for and never left behind as a zombie of ours.
#include <optional>
#include <string>
#include <vector>

struct DetachedCommand {
  std::vector<std::string> argv;                ///< argv[0] is the executable's path
  std::optional<std::string> workingDirectory;  ///< absent: this process's own
  bool operator==(const DetachedCommand&) const = default;
};

/// Whether the command was started: its directory entered and its program
/// executed. What it does after that is not waited for.
enum class LaunchResult { Started, Failed };

class DetachedLauncher {
 public:
  virtual ~DetachedLauncher() = default;
  /// Starts `command` and returns without waiting for it to end.
  virtual LaunchResult launch(const DetachedCommand& command) = 0;
};

/// A short-lived intermediate child spawns the command with setsid, standard
/// output and error on /dev/null, standard input inherited, signals at their
/// defaults, no other descriptor; the intermediate is reaped at once and the
/// command is adopted by init.
class RealDetachedLauncher final : public DetachedLauncher {
 public:
  LaunchResult launch(const DetachedCommand& command) override;
};

namespace PortCore {
DetachedLauncher& systemLauncher();
}
