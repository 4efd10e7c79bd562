#include "ui/qt_task_executors.h"

#include <QCoreApplication>
#include <QMetaObject>

GuiThreadExecutor::GuiThreadExecutor(QObject* guard) : guard_(guard) {}

void GuiThreadExecutor::post(Task task) {
  // Queued on the application object, which outlives every panel, and checked
  // there: reading a QPointer is only safe on the thread that deletes its object.
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  QMetaObject::invokeMethod(
      app,
      [guard = guard_, task = std::move(task)] {
        if (guard) task();
      },
      Qt::QueuedConnection);
}

ThreadPoolExecutor::ThreadPoolExecutor() {
  // The work waits on tools and processes, not on the CPU.
  pool_.setMaxThreadCount(8);
}

ThreadPoolExecutor::~ThreadPoolExecutor() { pool_.waitForDone(); }

void ThreadPoolExecutor::post(Task task) { pool_.start(std::move(task)); }

TimerScheduler::TimerScheduler(QObject* owner) : owner_(owner) {}

Scheduler::TimerId TimerScheduler::schedule(std::chrono::milliseconds delay, Task task) {
  TimerId id = nextId_++;
  auto* timer = new QTimer(owner_);
  timer->setSingleShot(true);
  timer->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer, &QTimer::timeout, owner_, [this, id, timer, task = std::move(task)] {
    timers_.erase(id);
    timer->deleteLater();
    task();
  });
  timers_[id] = timer;
  timer->start(delay);
  return id;
}

void TimerScheduler::cancel(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  if (it->second) delete it->second.data();
  timers_.erase(it);
}
