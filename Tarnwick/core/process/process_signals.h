#pragma once
// Signals to a process as the user saw it: the seam through which process
// control reaches the processes it kills, so that a PID taken over by another
// process is never hit and the escalation can be tested without real processes.
#include "core/scan/processes.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

/// What became of one signal: errno mapped once, here.
enum class SignalResult { Sent, NoSuchProcess, PermissionDenied };

/// One process held by its identity: what is sent reaches it or nothing.
class PinnedProcess {
 public:
  virtual ~PinnedProcess() = default;
  /// NoSuchProcess once it has exited (never a later holder of its PID).
  virtual SignalResult send(int signal) = 0;
  /// True once it has exited, waiting up to `timeout` for that.
  virtual bool waitForExit(std::chrono::milliseconds timeout) = 0;
};

class ProcessSignals {
 public:
  virtual ~ProcessSignals() = default;
  /// The start time of whatever process holds `pid` now; absent when none does.
  virtual std::optional<uint64_t> startTime(int32_t pid) = 0;
  /// `target` held for signalling; null when its PID is free or another
  /// process's now. Never a process group.
  virtual std::unique_ptr<PinnedProcess> pin(const ProcessIdentity& target) = 0;
};

/// Linux: a pidfd, the start time confirmed once it is open. Where pidfds are
/// missing (old kernels, macOS): the start time confirmed right before each
/// kill(2), and polled for the exit.
class RealProcessSignals final : public ProcessSignals {
 public:
  std::optional<uint64_t> startTime(int32_t pid) override;
  std::unique_ptr<PinnedProcess> pin(const ProcessIdentity& target) override;
};

namespace PortCore {

ProcessSignals& systemSignals();

/// The pin used where pidfds are missing; null when `target` is not there now.
std::unique_ptr<PinnedProcess> pinByStartTime(const ProcessIdentity& target);

}  // namespace PortCore
