#pragma once
// Process facts read from a /proc tree (Linux).
#include "core/process_facts.h"

class ProcFacts final : public ProcessFacts {
 public:
  /// `root` is the /proc tree to read: "/proc", or a fixture in tests.
  explicit ProcFacts(std::string root);
  /// Each argument of /proc/PID/cmdline quoted for the shell.
  std::optional<std::string> commandLine(int32_t pid) override;
  /// The owner of the directory /proc/PID.
  std::optional<uint32_t> owner(int32_t pid) override;
  uint32_t currentUser() override;

 private:
  std::string root_;
};
