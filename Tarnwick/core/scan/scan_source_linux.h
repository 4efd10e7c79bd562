#pragma once
// The scan's records read natively from /proc.
#include "core/scan/processes_linux.h"
#include "core/scan/scan_source.h"
#include "core/scan/socket_holders.h"
#include "core/scan/tcp_listeners.h"
#include "core/scan/user_names.h"
#include "core/system/proc_files.h"

#include <mutex>
#include <optional>
#include <string>

class ProcScanSource final : public ScanSource {
 public:
  /// Where the listening sockets are read: from the kernel over netlink
  /// (falling back to the tables when it does not answer), or from the tables
  /// net/tcp and net/tcp6 under the /proc root (a fixture tree in tests).
  enum class SocketTable { Kernel, ProcFiles };

  /// Reads the /proc tree at `procRoot`. Processes and sockets of other users
  /// are skipped unless this process runs as root, as an unprivileged lsof
  /// skips them.
  explicit ProcScanSource(const std::string& procRoot = "/proc", SocketTable table = SocketTable::Kernel);

  /// A repeated call confirms the holders it found last time and reads afresh
  /// only what may have changed (see SocketHolderFinder and ProcTableCache),
  /// so its records equal a fresh source's. Overlapping calls take turns.
  ScanSnapshot snapshot() override;
  ProcessTable processes() override;
  /// From the socket tables alone, no process walk.
  std::vector<int64_t> listeningPorts() override;

  /// How the last snapshot() found the holders (for tests and benchmarks).
  enum class LastWalk { None, Full, Incremental };
  LastWalk lastWalk();

 private:
  std::vector<ListeningSocket> readListeningSockets();
  CwdMap directoriesOf(const std::vector<int32_t>& pids);

  ProcRoot root_;
  SocketTable table_;
  std::optional<uint32_t> onlyUid_;
  UserNames users_;
  std::mutex mutex_;  ///< guards what is remembered between scans: panel refreshes may overlap
  SocketHolderFinder finder_;
  ProcTableCache processes_;
  LastWalk lastWalk_ = LastWalk::None;
};
