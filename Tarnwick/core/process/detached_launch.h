#pragma once
// Starting a process that outlives this one: in a session of its own, taking
// nothing of ours (no terminal, no input, no descriptor), never waited for and
// never left behind as a zombie of ours.
#include <chrono>
#include <optional>
#include <spawn.h>
#include <string>
#include <vector>

struct DetachedCommand {
  std::vector<std::string> argv;                ///< argv[0] is the executable's path
  std::optional<std::string> workingDirectory;  ///< absent: this process's own
  /// Standard output and error, replaced by a new file (0600) at each launch;
  /// absent, or when it cannot be created: /dev/null.
  std::optional<std::string> output{};
  bool operator==(const DetachedCommand&) const = default;
};

/// Whether the command was started: its directory entered and its program
/// executed, within kExecLimit. What it does after that is not waited for.
enum class LaunchResult { Started, Failed };

class DetachedLauncher {
 public:
  virtual ~DetachedLauncher() = default;
  /// Starts `command` and returns without waiting for it to end.
  virtual LaunchResult launch(const DetachedCommand& command) = 0;
};

/// A short-lived intermediate child spawns the command with setsid, standard
/// input on /dev/null, output and error on the command's output, signals at
/// their defaults, no other descriptor; the intermediate is reaped at once and
/// the command is adopted by init.
class RealDetachedLauncher final : public DetachedLauncher {
 public:
  /// How long the creation of the output, the directory change and the exec
  /// may each take: any may sit on a file system that stopped answering. Past
  /// it the launch counts as failed (an output not made in time: /dev/null).
  static constexpr std::chrono::milliseconds kExecLimit{5000};
  LaunchResult launch(const DetachedCommand& command) override;
};

namespace PortCore {

DetachedLauncher& systemLauncher();


}  // namespace PortCore
