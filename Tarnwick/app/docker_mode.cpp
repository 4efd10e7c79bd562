#include "app/modes.h"
#include "integrations/docker.h"

#include <cstdio>

int runDockerMode(const ModeValue&) {
  // The map is ordered by port already.
  for (const auto& [port, name] : Docker::containerPorts())
    std::printf("%lld -> %s\n", static_cast<long long>(port), name.c_str());
  return 0;
}
