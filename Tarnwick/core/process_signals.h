#pragma once
// Sending signals and waiting between them: the seam through which process
// control reaches the processes it stops, so its escalation can be tested
// without real processes or real time.
#include <chrono>
#include <cstdint>

/// What became of one signal: errno mapped once, here.
enum class SignalResult { Sent, NoSuchProcess, PermissionDenied };

class ProcessSignals {
 public:
  virtual ~ProcessSignals() = default;
  /// Sends `signal` (0 only asks whether `pid` may be signalled) to the one
  /// process `pid`; never to a group.
  virtual SignalResult send(int32_t pid, int signal) = 0;
  /// Blocks the calling thread for `duration`.
  virtual void pause(std::chrono::microseconds duration) = 0;
};

/// kill(2) and a real sleep.
class RealProcessSignals final : public ProcessSignals {
 public:
  SignalResult send(int32_t pid, int signal) override;
  void pause(std::chrono::microseconds duration) override;
};

namespace PortCore {
ProcessSignals& systemSignals();
}
