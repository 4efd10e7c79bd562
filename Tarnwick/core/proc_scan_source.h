#pragma once
// The scan's text read natively from /proc, written exactly as lsof and ps
// would print it, so the same parsers read it.
#include "core/proc_files.h"
#include "core/process_rows.h"
#include "core/scan_source.h"
#include "core/socket_holders.h"
#include "core/tcp_listeners.h"
#include "core/user_names.h"

#include <mutex>
#include <string>

class ProcScanSource final : public ScanSource {
 public:
  /// Where the listening sockets are read: from the kernel over netlink
  /// (falling back to the tables when it does not answer), or from the tables
  /// net/tcp and net/tcp6 under the /proc root (a fixture tree in tests).
  enum class SocketTable { Kernel, ProcFiles };

  /// Reads the /proc tree at `procRoot`. Processes of other users are skipped
  /// unless this process runs as root, as an unprivileged lsof skips them.
  explicit ProcScanSource(const std::string& procRoot = "/proc", SocketTable table = SocketTable::Kernel);

  std::string listeningSockets() override;
  /// Rows of unchanged processes may come from the previous call (see
  /// ProcessRows); the owners of the sockets last listed and their ancestors
  /// are always read afresh, so a scan's entries are exact.
  std::string processList() override;
  /// A process whose directory cannot be read gets its "p" line and no "n"
  /// line: lsof would print its error text as if it were the path.
  std::string workingDirectories(const std::vector<int32_t>& pids) override;
  /// From the socket tables alone, no process walk: also the ports of sockets
  /// whose holders this user cannot see.
  std::string listeningPortNumbers() override;

  /// How the last listeningSockets() found the holders (for tests and benchmarks).
  enum class LastWalk { None, Full, Incremental };
  LastWalk lastWalk();

 private:
  std::vector<ListeningSocket> readListeningSockets();

  ProcFiles::Dir root_;
  SocketTable table_;
  UserNames users_;
  ProcessRows rows_;
  std::mutex mutex_;  ///< guards the finder: panel refreshes may overlap
  SocketHolderFinder finder_;
  LastWalk lastWalk_ = LastWalk::None;
  std::vector<int32_t> owners_;  ///< PIDs in the last listeningSockets()
  FactsByPid ownerFacts_;        ///< read by it, for the processList() that follows
};
