#pragma once
// Time as a seam: logic reads an injected clock, never the system clock directly.
#include <chrono>

/// A monotonic clock that keeps counting while the machine sleeps.
class Clock {
 public:
  using Duration = std::chrono::nanoseconds;
  virtual ~Clock() = default;
  /// Time since an arbitrary fixed origin.
  virtual Duration now() const = 0;
};

/// CLOCK_BOOTTIME on Linux, the continuous clock on macOS.
class SystemClock final : public Clock {
 public:
  Duration now() const override;
};

/// A clock for tests that moves only when told to.
class ManualClock final : public Clock {
 public:
  Duration now() const override { return now_; }
  void advance(Duration by) { now_ += by; }

 private:
  Duration now_{std::chrono::hours(1)};
};

namespace PortCore {
Clock& systemClock();
}
