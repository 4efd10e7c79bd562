#pragma once
// The listening-socket scan: every TCP socket in LISTEN with its owner, the
// owner's ancestry, working directory and project.
#include "core/port_entry.h"
#include "core/process_identity.h"

#include <cstdint>
#include <vector>

class ScanSource;

namespace PortCore {

/// Every listening socket, sorted by port then PID; empty when nothing can be read.
std::vector<PortEntry> listPorts();
std::vector<PortEntry> listPorts(ScanSource& source);

/// A scan with the start time of each listed process beside it, read right
/// after the entries: the identity an action on a row must find again.
struct PortScan {
  std::vector<PortEntry> entries;
  StartTimes startTimes;
};

/// listPorts() and the start times of the PIDs it lists.
PortScan scanPorts();
PortScan scanPorts(ScanSource& source);

/// Distinct listening port numbers, in no order: the notifier's light poll.
std::vector<int64_t> listeningPortNumbers();
std::vector<int64_t> listeningPortNumbers(ScanSource& source);

}  // namespace PortCore
