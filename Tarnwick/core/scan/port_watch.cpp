#include "core/scan/port_watch.h"

#include "core/scan/scan_source.h"

#include <algorithm>
#include <thread>

namespace PortCore {

std::optional<PortHolder> holderOf(int64_t port, const ScanSnapshot& snapshot, const FormerHolders& former) {
  for (const auto& listener : snapshot.listeners) {
    if (listener.port != port) continue;
    PortHolder holder{{listener.pid, 0}, {}};
    if (auto row = snapshot.processes.find(listener.pid); row != snapshot.processes.end()) {
      holder.identity.startTime = row->second.startTime;
      holder.name = row->second.comm;
    }
    if (std::find(former.begin(), former.end(), holder.identity) == former.end()) return holder;
  }
  return std::nullopt;
}

std::optional<PortHolder> lookForHolder(int64_t port, ScanSource& source, const FormerHolders& former) {
  auto ports = source.listeningPorts();
  if (std::find(ports.begin(), ports.end(), port) == ports.end()) return std::nullopt;
  return holderOf(port, source.snapshot(), former);
}

std::optional<PortHolder> waitForHolder(int64_t port, Clock::Duration deadline, ScanSource& source,
                                        const Clock& clock, const SleepUntil& sleepUntil,
                                        const FormerHolders& former) {
  for (;;) {
    auto looked = clock.now();
    if (auto holder = lookForHolder(port, source, former)) return holder;
    if (looked >= deadline) return std::nullopt;
    sleepUntil(std::min<Clock::Duration>(looked + kPortWatchInterval, deadline));
  }
}

std::optional<PortHolder> waitForHolder(int64_t port, std::chrono::milliseconds limit, ScanSource& source,
                                        const FormerHolders& former) {
  const Clock& clock = systemClock();
  return waitForHolder(
      port, clock.now() + limit, source, clock,
      [&](Clock::Duration until) { std::this_thread::sleep_for(until - clock.now()); }, former);
}

}  // namespace PortCore
