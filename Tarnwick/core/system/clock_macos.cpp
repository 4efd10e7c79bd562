#include "core/system/clock.h"

#include <time.h>

Clock::Duration SystemClock::now() const {
  return std::chrono::nanoseconds(::clock_gettime_nsec_np(CLOCK_MONOTONIC_RAW));
}

namespace PortCore {

Clock& systemClock() {
  // Never destroyed: the prober's thread reads it until the process is gone,
  // and a clock torn down at exit would leave it calling a pure virtual.
  static SystemClock* clock = new SystemClock;
  return *clock;
}

}  // namespace PortCore
