#pragma once
// Where work runs: the GUI thread, a worker pool. The tray supplies Qt-backed
// executors; tests step their own.
#include <functional>

using Task = std::function<void()>;

class Executor {
 public:
  virtual ~Executor() = default;
  /// Runs `task` later, never inside this call. Safe from any thread.
  virtual void post(Task task) = 0;
};
