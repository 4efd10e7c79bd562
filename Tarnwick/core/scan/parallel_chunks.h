#pragma once
// Spreads a walk over /proc across a few threads. Reading one process's
// entries does not wait on another's, so a whole-system walk scales with cores.
#include <cstddef>
#include <functional>

namespace PortCore {

/// The number of workers a walk over `count` items would use (1 for small ones).
unsigned workersFor(size_t count);

/// Calls `work(begin, end, worker)` for consecutive ranges of [0, count), each
/// range on one of workersFor(count) workers (worker 0 is the calling thread).
/// Returns when all ranges are done. When a thread cannot be started, the
/// calling thread does its share.
void forEachChunk(size_t count, const std::function<void(size_t begin, size_t end, unsigned worker)>& work);

}  // namespace PortCore
