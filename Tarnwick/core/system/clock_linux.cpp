#include "core/system/clock.h"

#include <time.h>

Clock::Duration SystemClock::now() const {
  timespec ts{};
  ::clock_gettime(CLOCK_BOOTTIME, &ts);
  return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

namespace PortCore {

Clock& systemClock() {
  // Never destroyed: the prober's thread reads it until the process is gone,
  // and a clock torn down at exit would leave it calling a pure virtual.
  static SystemClock* clock = new SystemClock;
  return *clock;
}

}  // namespace PortCore
