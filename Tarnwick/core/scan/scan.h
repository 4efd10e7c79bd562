#pragma once
// The listening-socket scan: every TCP socket in LISTEN with its owner, the
// owner's ancestry, working directory and project.
#include "core/process/process_identity.h"
#include "core/records/port_entry.h"
#include "core/scan/project_name.h"

#include <cstdint>
#include <vector>

class ScanSource;
struct ScanSnapshot;

namespace PortCore {

/// Every listening socket, sorted by port then PID; empty when nothing can be read.
std::vector<PortEntry> listPorts();
std::vector<PortEntry> listPorts(ScanSource& source);

/// A scan with the start time of each listed process beside it: the identity
/// an action on a row must find again.
struct PortScan {
  std::vector<PortEntry> entries;
  StartTimes startTimes;
};

/// listPorts() and the start times the source read with it.
PortScan scanPorts();
PortScan scanPorts(ScanSource& source);

/// Distinct listening port numbers, in no order: the notifier's light poll.
std::vector<int64_t> listeningPortNumbers();
std::vector<int64_t> listeningPortNumbers(ScanSource& source);

/// The entries of a snapshot: one per PID and port (the first address
/// listed), sorted by port then PID, with command, user and ancestry from the
/// process records and cwd from the directories ("/" left out); no project.
std::vector<PortEntry> joinScan(const ScanSnapshot& snapshot);

/// Sets the project of every entry with a cwd, reading package.json through `read`.
void fillProjects(std::vector<PortEntry>& entries, const SmallFileReader& read = readSmallFile);

}  // namespace PortCore
