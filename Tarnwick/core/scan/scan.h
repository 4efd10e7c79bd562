#pragma once
// The listening-socket scan: every TCP socket in LISTEN with its owner, the
// owner's ancestry, working directory and project.
#include "core/records/port_entry.h"
#include "core/scan/processes.h"
#include "core/scan/project_name.h"
#include "core/system/file_system_reads.h"

#include <cstdint>
#include <vector>

class ScanSource;
struct ScanSnapshot;

namespace PortCore {

/// Every listening socket, sorted by port then PID; empty when nothing can be read.
std::vector<PortEntry> listPorts();
std::vector<PortEntry> listPorts(ScanSource& source);

/// A scan with the records of the processes it lists: each carries the start
/// time that, with the entry's PID, is the identity an action on the row must
/// find again (see identityOf).
struct PortScan {
  std::vector<PortEntry> entries;
  ProcessTable holders;  ///< the record of each entry's PID that the source read
};

/// Whether a scan names each entry's project. Reading project files reaches
/// file systems that may be slow to answer; an action on a port needs none.
enum class Projects { Read, Skip };

/// listPorts() and the holders' records the source read with it; with
/// Projects::Skip no entry has a project.
PortScan scanPorts(Projects projects = Projects::Read);
PortScan scanPorts(ScanSource& source, Projects projects = Projects::Read);

/// Distinct listening port numbers, in no order: the notifier's light poll.
std::vector<int64_t> listeningPortNumbers();
std::vector<int64_t> listeningPortNumbers(ScanSource& source);

/// The entries of a snapshot: one per PID and port (the first address
/// listed), sorted by port then PID, with command, user and ancestry from the
/// process records and cwd from the directories ("/" left out); no project.
std::vector<PortEntry> joinScan(const ScanSnapshot& snapshot);

/// Sets the project of every entry with a cwd, reading package.json through
/// `files`, once per folder; a folder whose file could not be read in time is
/// named as for one that is unreadable.
void fillProjects(std::vector<PortEntry>& entries, FileSystemReads& files);

}  // namespace PortCore
