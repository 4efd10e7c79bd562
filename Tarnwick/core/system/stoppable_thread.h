#pragma once
// A thread that can be asked to stop, and the signal it watches: a flag and a
// condition variable, so a waiting thread wakes the moment it is asked.
// std::jthread and std::stop_token are missing from some macOS toolchains.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

/// The stopping side's view of a StopSource; copies share it.
class StopToken {
 public:
  bool stopRequested() const;

  /// Waits until `ready()` holds or stop is requested, at most `timeout`.
  /// `ready` is called with the signal's lock held; whoever changes what it
  /// reads calls notifyAll() afterwards. Returns ready().
  template <class Predicate>
  bool waitFor(std::chrono::nanoseconds timeout, Predicate ready) const {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait_for(lock, timeout, [&] { return state_->stopped || ready(); });
    return ready();
  }

  /// Sleeps for `timeout` or until stop is requested; true when it was.
  bool sleepFor(std::chrono::nanoseconds timeout) const {
    waitFor(timeout, [] { return false; });
    return stopRequested();
  }

  /// Wakes every waiter to look at its condition again.
  void notifyAll() const;

 private:
  friend class StopSource;
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool stopped = false;
  };
  explicit StopToken(std::shared_ptr<State> state) : state_(std::move(state)) {}
  std::shared_ptr<State> state_;
};

/// Where a stop is requested. Requests after the first change nothing.
class StopSource {
 public:
  StopSource() : token_(std::make_shared<StopToken::State>()) {}
  void requestStop();
  StopToken token() const { return token_; }

 private:
  StopToken token_;
};

/// Runs `body` on a thread of its own with the token of the thread's stop
/// source. Destroying it, assigning to it or stop() asks the running body to
/// stop and joins it.
class StoppableThread {
 public:
  StoppableThread() = default;
  explicit StoppableThread(std::function<void(StopToken)> body);
  StoppableThread(StoppableThread&&) noexcept = default;
  StoppableThread& operator=(StoppableThread&& other) noexcept;
  ~StoppableThread() { stop(); }

  void stop();
  /// Asks the running body to stop without waiting for it; stop() joins.
  void requestStop() {
    if (thread_.joinable()) source_.requestStop();
  }
  /// True while a thread is there to stop (until stop() or a move away).
  bool joinable() const { return thread_.joinable(); }

 private:
  StopSource source_;
  std::thread thread_;
};
