// Placeholder until the prober lands: nothing answers.
#include "core/probe.h"

namespace PortCore {
bool probe(int64_t) { return false; }
std::vector<bool> probeAll(const std::vector<int64_t>& ports) { return std::vector<bool>(ports.size(), false); }
void probeAsync(int64_t, std::function<void(bool)> done) { done(false); }
}  // namespace PortCore
