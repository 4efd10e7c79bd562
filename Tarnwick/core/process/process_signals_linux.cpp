#include "core/process/process_signals.h"

#include "core/system/unique_fd.h"

#include <cerrno>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A pidfd refers to one process for as long as it is open, whatever later
// holds its PID; it becomes readable when that process exits.
class PidfdPinned final : public PinnedProcess {
 public:
  explicit PidfdPinned(int fd) : fd_(fd) {}

  SignalResult send(int signal) override {
    if (::syscall(SYS_pidfd_send_signal, fd_.get(), signal, nullptr, 0) == 0) return SignalResult::Sent;
    return errno == EPERM ? SignalResult::PermissionDenied : SignalResult::NoSuchProcess;
  }

  bool waitForExit(std::chrono::milliseconds timeout) override {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd entry{fd_.get(), POLLIN, 0};
      int ready = ::poll(&entry, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
      if (ready > 0) return true;
      if (ready == 0 || errno != EINTR) return false;
    }
  }

 private:
  PortCore::UniqueFd fd_;
};

}  // namespace

std::unique_ptr<PinnedProcess> RealProcessSignals::pin(const ProcessIdentity& target) {
  if (target.pid <= 0) return nullptr;
  long fd = ::syscall(SYS_pidfd_open, target.pid, 0);
  // ESRCH: nothing holds the PID. Anything else is a kernel or sandbox without
  // pidfds (ENOSYS, or EPERM from a seccomp filter): fall back to the start time.
  if (fd < 0) return errno == ESRCH ? nullptr : PortCore::pinByStartTime(target);
  auto pinned = std::make_unique<PidfdPinned>(static_cast<int>(fd));
  // Opened first, checked second: a start time that still matches now means
  // the descriptor holds the process that was listed.
  if (startTime(target.pid) != target.startTime) return nullptr;
  return pinned;
}
