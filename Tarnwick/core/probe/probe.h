#pragma once
// Does a loopback port answer HTTP? One HEAD request, 1.5 s in all, any
// status line counts.
#include <cstdint>
#include <vector>

namespace PortCore {

/// True when 127.0.0.1:port (or, when that refuses, [::1]:port) answers a HEAD
/// request with an HTTP status line within 1.5 s. Blocks the caller.
bool probe(int64_t port);

/// Probes all `ports` at once on the calling thread (no thread per probe) and
/// returns the answers in the same order. Blocks up to about 1.5 s in all.
/// Ports outside 1..65535 are false at once.
std::vector<bool> probeAll(const std::vector<int64_t>& ports);

}  // namespace PortCore
