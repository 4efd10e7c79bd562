#pragma once
// A call that may never return (a stat on a file system that stopped
// answering), made without waiting for it past a limit.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace PortCore {

/// What `work` returns, or absent when it has not returned within `limit`.
/// The work runs on a detached thread of its own that is never joined: one
/// given up on may finish later or never, so it must hold copies of what it
/// reads, or references to objects that live as long as the process.
template <class Work>
auto callWithin(std::chrono::milliseconds limit, Work work) -> std::optional<decltype(work())> {
  using Result = decltype(work());
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<Result> result;
  };
  auto shared = std::make_shared<Shared>();
  std::thread([shared, work = std::move(work)]() mutable {
    auto result = work();
    std::lock_guard lock(shared->mutex);
    shared->result = std::move(result);
    shared->done.notify_all();
  }).detach();
  std::unique_lock lock(shared->mutex);
  shared->done.wait_for(lock, limit, [&] { return shared->result.has_value(); });
  return std::move(shared->result);
}

}  // namespace PortCore
