#include "integrations/port_notifier.h"

#include "core/system/clock.h"
#include "core/system/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

// A timer on CLOCK_BOOTTIME set to the absolute deadline, and an event
// counter for wake(), waited on together. A condition variable's clock stops
// while the machine is suspended, so it would need waking every so often just
// to look at the real time; this timer fires on the resume that passes it.
class BootClockSleeper final : public Sleeper {
 public:
  BootClockSleeper(PortCore::UniqueFd timer, PortCore::UniqueFd wake)
      : timer_(std::move(timer)), wake_(std::move(wake)) {}

  bool sleepUntil(Clock::Duration deadline, const StopToken& stop) override {
    if (stop.stopRequested()) return false;
    // A zero value disarms the timer; a deadline already past fires at once.
    const auto at = std::max(deadline, Clock::Duration(1));
    itimerspec spec{};
    spec.it_value.tv_sec = static_cast<time_t>(std::chrono::duration_cast<std::chrono::seconds>(at).count());
    spec.it_value.tv_nsec = static_cast<long>((at % std::chrono::seconds(1)).count());
    if (::timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME, &spec, nullptr) != 0) {
      // Never happens with a valid descriptor and deadline; a short nap keeps the loop from spinning.
      stop.sleepFor(std::chrono::seconds(1));
      return false;
    }
    pollfd fds[2] = {{timer_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0 && errno == EINTR) {
    }
    uint64_t count = 0;
    const bool woken = ::read(wake_.get(), &count, sizeof count) == sizeof count;
    [[maybe_unused]] auto expirations = ::read(timer_.get(), &count, sizeof count);
    return woken && !stop.stopRequested();
  }

  void wake() override {
    const uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(wake_.get(), &one, sizeof one);
  }

 private:
  PortCore::UniqueFd timer_;
  PortCore::UniqueFd wake_;
};

}  // namespace

std::shared_ptr<Sleeper> makeSystemSleeper() {
  PortCore::UniqueFd timer(::timerfd_create(CLOCK_BOOTTIME, TFD_NONBLOCK | TFD_CLOEXEC));
  PortCore::UniqueFd wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  if (!timer.valid() || !wake.valid()) return std::make_shared<ClockSleeper>(PortCore::systemClock());
  return std::make_shared<BootClockSleeper>(std::move(timer), std::move(wake));
}
