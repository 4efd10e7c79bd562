#pragma once
// What restarting a process needs to know about it beyond the process table:
// its command line and its owner.
#include <cstdint>
#include <optional>
#include <string>

class ProcessFacts {
 public:
  virtual ~ProcessFacts() = default;
  /// The command line of `pid` as text a shell runs again with the same
  /// arguments; absent when it cannot be read (gone, a kernel thread).
  virtual std::optional<std::string> commandLine(int32_t pid) = 0;
  /// The user ID that owns `pid`; absent when the process cannot be seen.
  virtual std::optional<uint32_t> owner(int32_t pid) = 0;
  /// The user ID this program runs as.
  virtual uint32_t currentUser() = 0;
};

namespace PortCore {
/// /proc on Linux, ps on macOS.
ProcessFacts& systemProcessFacts();
}
