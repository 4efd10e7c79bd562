#pragma once
// The panel's executors and timers on Qt: the event loop, a thread pool, QTimer.
#include "ui/task_executor.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <unordered_map>

/// Runs tasks on the GUI thread's event loop while `guard` lives; tasks posted
/// after it has gone, or still queued when it goes, are dropped.
class GuiThreadExecutor final : public Executor {
 public:
  explicit GuiThreadExecutor(QObject* guard);
  void post(Task task) override;

 private:
  QPointer<QObject> guard_;
};

/// Runs tasks on a pool of its own: scans, docker and kills block, some for
/// seconds, and must not starve other users of the global pool.
class ThreadPoolExecutor final : public Executor {
 public:
  ThreadPoolExecutor();
  /// Waits for the tasks already running.
  ~ThreadPoolExecutor() override;
  void post(Task task) override;

 private:
  QThreadPool pool_;
};

/// Precise single-shot QTimers owned by `owner`, so they die with it.
class TimerScheduler final : public Scheduler {
 public:
  explicit TimerScheduler(QObject* owner);
  TimerId schedule(std::chrono::milliseconds delay, Task task) override;
  void cancel(TimerId id) override;

 private:
  QObject* owner_;
  TimerId nextId_ = 1;
  std::unordered_map<TimerId, QPointer<QTimer>> timers_;
};
