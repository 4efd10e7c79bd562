// The modes that report what is there: the listening ports, the containers'
// published ports, whether a port answers HTTP.
#include "app/modes.h"
#include "core/probe/probe.h"
#include "core/scan/scan.h"
#include "core/system/terminal_text.h"
#include "integrations/docker.h"

#include <cstdio>
#include <string>

int runListMode(const ModeValue&) {
  // The encoder writes valid UTF-8 whatever the names hold, so there is no
  // failed conversion to fall back from; "[]" when nothing listens.
  std::string line = encodeJson(PortCore::listPorts());
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
  return 0;
}

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

int runProbeMode(const ModeValue& port) {
  std::puts(PortCore::probe(std::get<int64_t>(port)) ? "healthy" : "no-http");
  return 0;
}
