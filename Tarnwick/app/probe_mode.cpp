#include "app/modes.h"
#include "core/probe.h"

#include <cstdio>
#include <semaphore>

int runProbeMode(const ModeValue& port) {
  // The probe answers on the prober's own thread; this thread only waits.
  std::counting_semaphore<> answered(0);
  PortCore::probeAsync(std::get<int64_t>(port), [&answered](bool healthy) {
    std::puts(healthy ? "healthy" : "no-http");
    std::fflush(stdout);
    answered.release();
  });
  answered.acquire();
  return 0;
}
