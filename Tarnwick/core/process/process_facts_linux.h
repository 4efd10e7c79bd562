#pragma once
// Process facts read from a /proc tree (Linux).
#include "core/process/process_facts.h"
#include "core/system/proc_files.h"

#include <string_view>

class ProcProcessFacts final : public ProcessFacts {
 public:
  /// `root` is the /proc tree to read: "/proc", or a fixture in tests.
  explicit ProcProcessFacts(const std::string& root);
  /// PID/cmdline, PID/cwd, PATH from PID/environ, Uid: and Gid: of PID/status.
  RestartFacts restartFacts(int32_t pid) override;
  /// self/status.
  std::optional<Credentials> ownCredentials() override;

 private:
  ProcRoot root_;
};

namespace PortCore {

/// The arguments in the raw content of /proc/PID/cmdline (each ended by a NUL).
/// A rewritten title is padded with NULs to the old length: that padding is
/// no argument.
std::vector<std::string> cmdlineArguments(std::string_view raw);

/// The "Uid:" and "Gid:" lines of /proc/PID/status; absent when either lacks
/// four numbers.
std::optional<Credentials> parseStatusCredentials(std::string_view status);

}  // namespace PortCore
