#include "core/probe/probe.h"

#include "core/probe/loopback_prober.h"

#include <algorithm>

namespace PortCore {

bool probe(int64_t port) { return probeAll({port}).front(); }

std::vector<bool> probeAll(const std::vector<int64_t>& ports) {
  const Clock& clock = systemClock();
  const Clock::Duration deadline = clock.now() + kProbeTimeout;
  std::vector<std::unique_ptr<LoopbackProbe>> probes;
  std::vector<LoopbackProbe*> pointers;
  for (int64_t port : ports) {
    probes.push_back(std::make_unique<LoopbackProbe>(port, deadline));
    pointers.push_back(probes.back().get());
  }
  auto pending = [&] {
    return std::any_of(probes.begin(), probes.end(), [](const auto& p) { return !p->finished(); });
  };
  while (pending()) pollProbesOnce(pointers, clock);
  std::vector<bool> answers;
  for (const auto& probe : probes) answers.push_back(probe->answered());
  return answers;
}

}  // namespace PortCore
