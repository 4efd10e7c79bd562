#include "core/system/clock.h"

#include <time.h>

Clock::Duration SystemClock::now() const {
  return std::chrono::nanoseconds(::clock_gettime_nsec_np(CLOCK_MONOTONIC_RAW));
}
