#include "app/modes.h"
#include "core/system/terminal_text.h"
#include "integrations/docker.h"

#include <cstdio>
#include <string>

int runDockerMode(const ModeValue&) {
  // The map is ordered by port already; of several containers on one port,
  // the one the client listed last is named. The names come from the
  // container runtime, which takes them from whoever started the container.
  for (const auto& [port, published] : Docker::containerPorts()) {
    std::string line = std::to_string(port) + " -> " + PortCore::terminalText(published.back().name) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return 0;
}
