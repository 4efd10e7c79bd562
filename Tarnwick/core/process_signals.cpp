#include "core/process_signals.h"

#include <cerrno>
#include <csignal>
#include <thread>

SignalResult RealProcessSignals::send(int32_t pid, int signal) {
  // kill() reads 0 and negative PIDs as process groups; this seam only ever
  // addresses single processes.
  if (pid <= 0) return SignalResult::NoSuchProcess;
  if (::kill(pid, signal) == 0) return SignalResult::Sent;
  return errno == EPERM ? SignalResult::PermissionDenied : SignalResult::NoSuchProcess;
}

void RealProcessSignals::pause(std::chrono::microseconds duration) {
  std::this_thread::sleep_for(duration);
}

namespace PortCore {

ProcessSignals& systemSignals() {
  static RealProcessSignals signals;
  return signals;
}

}  // namespace PortCore
