#pragma once
// Runs each task at once, on the caller's thread: for code whose tasks only
// hand a value over, where the test itself stands for the GUI thread.
#include "core/system/executor.h"

class InlineExecutor final : public Executor {
 public:
  void post(Task task) override { task(); }
};
