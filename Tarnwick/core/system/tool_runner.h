#pragma once
// Running system tools: the one seam through which every tool whose output we
// read is started.
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

/// How long a tool may run and how much it may print. A run past either counts
/// as empty, never as cut-off text.
struct ToolLimits {
  std::chrono::milliseconds deadline{std::chrono::seconds(10)};
  size_t maxOutput = size_t{16} << 20;
  bool operator==(const ToolLimits&) const = default;
};

/// Runs an executable by path and returns what it printed on standard output.
class ToolRunner {
 public:
  virtual ~ToolRunner() = default;
  /// Standard output of `path` run with `args` (argument 0 is supplied here),
  /// decoded as UTF-8 with invalid sequences replaced; empty when the tool
  /// cannot start or goes past `limits`. The exit status is not looked at.
  virtual std::string run(const std::string& path, const std::vector<std::string>& args,
                          const ToolLimits& limits) = 0;
  /// run() with the default limits.
  std::string run(const std::string& path, const std::vector<std::string>& args) {
    return run(path, args, ToolLimits{});
  }
};

/// posix_spawn without a shell, in a process group of its own; standard input
/// and standard error on /dev/null; environment and working directory
/// inherited. Past its limits the whole group is killed. Once the tool has
/// exited, whatever it left running in its group is killed too, so a
/// background child holding the output open cannot hold up the caller.
class RealToolRunner final : public ToolRunner {
 public:
  using ToolRunner::run;
  std::string run(const std::string& path, const std::vector<std::string>& args,
                  const ToolLimits& limits) override;
};

namespace PortCore {

/// The runner that the simple forms of the core's operations use.
ToolRunner& systemToolRunner();

/// systemToolRunner().run(path, args, limits).
std::string runTool(const std::string& path, const std::vector<std::string>& args,
                    const ToolLimits& limits = {});

}  // namespace PortCore
