#include "core/system/clock.h"

#include <time.h>

Clock::Duration SystemClock::now() const {
  timespec ts{};
  ::clock_gettime(CLOCK_BOOTTIME, &ts);
  return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}
