#include "core/system/stoppable_thread.h"

bool StopToken::stopRequested() const {
  std::lock_guard lock(state_->mutex);
  return state_->stopped;
}

void StopToken::notifyAll() const {
  // Taking the lock orders this after a waiter's check of its condition, so
  // the wakeup cannot fall between that check and its wait.
  std::lock_guard lock(state_->mutex);
  state_->changed.notify_all();
}

void StopSource::requestStop() {
  {
    std::lock_guard lock(token_.state_->mutex);
    token_.state_->stopped = true;
  }
  token_.state_->changed.notify_all();
}

StoppableThread::StoppableThread(std::function<void(StopToken)> body)
    : thread_([body = std::move(body), token = source_.token()] { body(token); }) {}

StoppableThread& StoppableThread::operator=(StoppableThread&& other) noexcept {
  if (this != &other) {
    stop();
    source_ = std::move(other.source_);
    thread_ = std::move(other.thread_);
  }
  return *this;
}

void StoppableThread::stop() {
  if (!thread_.joinable()) return;
  source_.requestStop();
  thread_.join();
}
