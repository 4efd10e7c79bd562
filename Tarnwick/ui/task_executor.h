#pragma once
// Where the panel's work runs: an executor for "on the GUI thread", one for
// "in the background", and single-shot timers on the GUI thread. Tests step
// their own versions; the application uses the Qt ones (qt_task_executors.h).
#include "core/system/executor.h"

#include <chrono>

class Scheduler {
 public:
  using TimerId = int;
  virtual ~Scheduler() = default;
  /// Runs `task` once on the GUI thread after `delay`. Called on the GUI thread.
  virtual TimerId schedule(std::chrono::milliseconds delay, Task task) = 0;
  /// Drops a timer that has not fired; an unknown or fired id is ignored.
  virtual void cancel(TimerId id) = 0;
};
