#include "core/process/process_signals.h"

#include <cerrno>
#include <csignal>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kExitPollInterval{20};

// Without a handle on the process, only its start time tells it from a new
// holder of the PID; a narrow window remains between the check and kill(2).
class StartTimePinned final : public PinnedProcess {
 public:
  explicit StartTimePinned(const ProcessIdentity& target) : target_(target) {}

  SignalResult send(int signal) override {
    if (!stillThere()) return SignalResult::NoSuchProcess;
    if (::kill(target_.pid, signal) == 0) return SignalResult::Sent;
    return errno == EPERM ? SignalResult::PermissionDenied : SignalResult::NoSuchProcess;
  }

  bool waitForExit(std::chrono::milliseconds timeout) override {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (stillThere()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(kExitPollInterval);
    }
    return true;
  }

 private:
  bool stillThere() const { return PortCore::processStartTime(target_.pid) == target_.startTime; }
  ProcessIdentity target_;
};

}  // namespace

std::optional<uint64_t> RealProcessSignals::startTime(int32_t pid) { return PortCore::processStartTime(pid); }

namespace PortCore {

std::unique_ptr<PinnedProcess> pinByStartTime(const ProcessIdentity& target) {
  if (target.pid <= 0 || processStartTime(target.pid) != target.startTime) return nullptr;
  return std::make_unique<StartTimePinned>(target);
}

ProcessSignals& systemSignals() {
  static RealProcessSignals signals;
  return signals;
}

}  // namespace PortCore
