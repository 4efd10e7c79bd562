#include "app/list_mode.h"

#include "app/modes.h"
#include "core/scan/scan.h"

#include <cstdio>

std::string listLine(const std::vector<PortEntry>& entries) {
  // The encoder writes valid UTF-8 whatever the names hold, so there is no
  // failed conversion to fall back from.
  std::string line = encodeJson(entries);
  line += '\n';
  return line;
}

int runListMode(const ModeValue&) {
  std::string line = listLine(PortCore::listPorts());
  std::fwrite(line.data(), 1, line.size(), stdout);
  return 0;
}
