#pragma once
// What restarting a process needs to know about it beyond the process table:
// its arguments, its working directory, its search path and its rights.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/// User and group IDs: real, effective, saved, filesystem (macOS has no
/// filesystem ID; the effective one stands there).
struct Credentials {
  std::array<uint32_t, 4> users{};
  std::array<uint32_t, 4> groups{};
  bool operator==(const Credentials&) const = default;
};

struct RestartFacts {
  std::vector<std::string> arguments;     ///< empty when they cannot be read
  std::optional<std::string> directory;   ///< the real path of its working directory, absent when that is gone
  std::optional<std::string> searchPath;  ///< PATH of its environment; absent when unset or unreadable
  std::optional<Credentials> credentials;  ///< absent when they cannot be read
};

class ProcessFacts {
 public:
  virtual ~ProcessFacts() = default;
  /// What can be read of `pid`; a gone process gives empty facts.
  virtual RestartFacts restartFacts(int32_t pid) = 0;
  /// The IDs this program runs with; absent when they cannot be read.
  virtual std::optional<Credentials> ownCredentials() = 0;
};

namespace PortCore {
/// /proc on Linux, libproc and sysctl on macOS.
ProcessFacts& systemProcessFacts();
}  // namespace PortCore
