#pragma once
// Running system tools: the one seam through which every tool whose output we
// read is started.
#include <string>
#include <vector>

/// Runs an executable by path and returns what it printed on standard output.
class ToolRunner {
 public:
  virtual ~ToolRunner() = default;
  /// Standard output of `path` run with `args` (argument 0 is supplied here),
  /// decoded as UTF-8 with invalid sequences replaced; empty when the tool
  /// cannot start. The exit status is not looked at.
  virtual std::string run(const std::string& path, const std::vector<std::string>& args) = 0;
};

/// posix_spawn without a shell; standard error to /dev/null; standard input,
/// environment and working directory inherited.
class RealToolRunner final : public ToolRunner {
 public:
  std::string run(const std::string& path, const std::vector<std::string>& args) override;
};

namespace PortCore {

/// The runner that the simple forms of the core's operations use.
ToolRunner& systemToolRunner();

/// systemToolRunner().run(path, args).
std::string runTool(const std::string& path, const std::vector<std::string>& args);

}  // namespace PortCore
