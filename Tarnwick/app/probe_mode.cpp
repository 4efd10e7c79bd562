#include "app/modes.h"
#include "core/probe/probe.h"

#include <cstdio>

int runProbeMode(const ModeValue& port) {
  std::puts(PortCore::probe(std::get<int64_t>(port)) ? "healthy" : "no-http");
  return 0;
}
