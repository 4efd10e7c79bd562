#pragma once
// A tool runner for tests: canned output per executable path, and a record of
// every call.
#include "core/system/tool_runner.h"

#include <map>
#include <string>
#include <vector>

class FakeToolRunner final : public ToolRunner {
 public:
  struct Call {
    std::string path;
    std::vector<std::string> args;
    ToolLimits limits{};
    bool operator==(const Call&) const = default;
  };

  /// Output for `path`; a path with no output set prints nothing.
  void setOutput(const std::string& path, std::string output) { outputs_[path] = std::move(output); }

  using ToolRunner::run;
  std::string run(const std::string& path, const std::vector<std::string>& args,
                  const ToolLimits& limits) override {
    calls_.push_back({path, args, limits});
    return outputs_.contains(path) ? outputs_.at(path) : std::string();
  }

  const std::vector<Call>& calls() const { return calls_; }

 private:
  std::map<std::string, std::string> outputs_;
  std::vector<Call> calls_;
};
