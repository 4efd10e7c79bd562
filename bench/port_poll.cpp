// port_poll: one run of the notifier's light poll, as a whole process, for
// timing against `lsof -F n -iTCP -sTCP:LISTEN -n -P`. Prints the port count.
#include "core/scan/scan.h"

#include <cstdio>

int main() {
  std::printf("%zu\n", PortCore::listeningPortNumbers().size());
}
