#pragma once
// A tool runner for tests: canned output per executable path (none: it prints
// nothing), and a record of every call.
#include "core/system/tool_runner.h"

#include <map>
#include <string>
#include <vector>

struct FakeToolRunner final : ToolRunner {
  struct Call {
    std::string path;
    std::vector<std::string> args;
    ToolLimits limits{};
    bool operator==(const Call&) const = default;
  };

  using ToolRunner::run;
  std::string run(const std::string& path, const std::vector<std::string>& args,
                  const ToolLimits& limits) override {
    calls.push_back({path, args, limits});
    return outputs.contains(path) ? outputs.at(path) : std::string();
  }

  std::map<std::string, std::string> outputs;
  std::vector<Call> calls;
};
