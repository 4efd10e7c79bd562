#include "app/modes.h"
#include "core/scan.h"

#include <cstdio>

int runListMode(const ModeValue&) {
  std::string line = encodeJson(PortCore::listPorts());
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
  return 0;
}
