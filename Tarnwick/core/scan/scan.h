#pragma once
// The listening-socket scan: every TCP socket in LISTEN with its owner, the
// owner's ancestry, working directory and project.
#include "core/process/process_identity.h"
#include "core/records/port_entry.h"
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

/// A scan with the start time of each listed process beside it: the identity
/// an action on a row must find again.
struct PortScan {
  std::vector<PortEntry> entries;
  StartTimes startTimes;
};

/// Whether a scan names each entry's project. Reading project files reaches
/// file systems that may be slow to answer; an action on a port needs none.
enum class Projects { Read, Skip };

/// listPorts() and the start times the source read with it; with
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
