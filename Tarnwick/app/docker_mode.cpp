#include "app/modes.h"
#include "integrations/docker.h"

#include <cstdio>

int runDockerMode(const ModeValue&) {
  // The map is ordered by port already; of several containers on one port,
  // the one the client listed last is named.
  for (const auto& [port, published] : Docker::containerPorts())
    std::printf("%lld -> %s\n", static_cast<long long>(port), published.back().name.c_str());
  return 0;
}
