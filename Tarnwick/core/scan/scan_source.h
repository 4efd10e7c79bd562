#pragma once
// Where a scan's facts come from: values read in one call, whatever reads
// them (a native reader of /proc, or the real lsof and ps parsed).
#include "core/scan/processes.h"
#include "core/system/file_system_reads.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class ToolRunner;

/// One holder of one listening socket.
struct ListenerRecord {
  uint64_t inode = 0;   ///< 0 when the source does not know it
  std::string address;  ///< "*" for any address, 127.0.0.1, [::1]
  int64_t port = 0;
  int32_t pid = 0;
  bool operator==(const ListenerRecord&) const = default;
};

/// PID to the real path of its working directory.
using CwdMap = std::unordered_map<int32_t, std::string>;

/// What one scan saw.
struct ScanSnapshot {
  std::vector<ListenerRecord> listeners;  ///< by PID, then descriptor; a PID and port may repeat
  ProcessTable processes;                 ///< the holders (with owner and start time) and their ancestors
  CwdMap directories;                     ///< of the holders; absent when unreadable
};

class ScanSource {
 public:
  virtual ~ScanSource() = default;
  /// Every listening socket this user can see with its holders; empty when
  /// nothing can be read. Safe to call from several threads at once.
  virtual ScanSnapshot snapshot() = 0;
  /// Every process: PID, parent and command.
  virtual ProcessTable processes() = 0;
  /// The ports of the listening sockets this user can see, in no order and
  /// possibly repeated, without a look at any process.
  virtual std::vector<int64_t> listeningPorts() = 0;

  /// The reads of project files for scans of this source, with what they
  /// remember between scans: the file systems that have stopped answering.
  PortCore::FileSystemReads& projectFiles() { return projectFiles_; }

 private:
  PortCore::FileSystemReads projectFiles_;
};

/// The real lsof and ps, run through a tool runner. Names come as the tools
/// escape them.
class ToolScanSource final : public ScanSource {
 public:
  explicit ToolScanSource(ToolRunner& runner);
  ScanSnapshot snapshot() override;
  ProcessTable processes() override;
  std::vector<int64_t> listeningPorts() override;

 private:
  ToolRunner& runner_;
};

namespace PortCore {

/// A new source of the real system, with a repeated-scan cache of its own:
/// the native reader of /proc on Linux, the tools on macOS. The simple forms of
/// the scan open one per call; whoever scans repeatedly keeps one.
std::unique_ptr<ScanSource> makeSystemScanSource();

}  // namespace PortCore
