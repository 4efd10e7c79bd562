#include "core/scan/parallel_chunks.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace PortCore {

namespace {

// One item at a time: the cost of an item can differ a thousandfold (a
// process with five descriptors, another with five thousand), and taking the
// next one costs nothing beside it, so no worker is left alone with a
// heavy chunk at the end.
constexpr size_t chunkSize = 1;
// Below this a thread costs more than it saves.
constexpr size_t threadedFrom = 256;
constexpr unsigned maxWorkers = 4;

}  // namespace

unsigned workersFor(size_t count) {
  if (count < threadedFrom) return 1;
  return std::clamp(std::thread::hardware_concurrency(), 1u, maxWorkers);
}

void forEachChunk(size_t count, const std::function<void(size_t, size_t, unsigned)>& work) {
  std::atomic<size_t> next{0};
  auto drain = [&](unsigned worker) {
    for (;;) {
      size_t begin = next.fetch_add(chunkSize);
      if (begin >= count) return;
      work(begin, std::min(begin + chunkSize, count), worker);
    }
  };
  std::vector<std::thread> threads;
  for (unsigned worker = 1; worker < workersFor(count); ++worker) {
    try {
      threads.emplace_back(drain, worker);
    } catch (const std::system_error&) {
      break;  // out of threads: fewer workers do the same work
    }
  }
  drain(0);
  for (auto& thread : threads) thread.join();
}

}  // namespace PortCore
