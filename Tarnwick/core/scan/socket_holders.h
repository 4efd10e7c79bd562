#pragma once
// Which processes hold which listening sockets, found by mapping socket inodes
// through /proc/PID/fd. The finder remembers its last answer so that a repeated
// scan confirms the known holders with one readlink each and walks only the
// processes that appeared since; anything it cannot account for sends it back
// to a full walk, so it answers what a fresh walk would.
#include "core/scan/processes_linux.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct SocketHolder {
  int32_t pid = 0;
  int32_t fd = 0;
  uint64_t inode = 0;
  bool operator==(const SocketHolder&) const = default;
};

using InodeSet = std::unordered_set<uint64_t>;

class SocketHolderFinder {
 public:
  enum class Walk { Full, Incremental };
  /// Processes whose descriptors are listed: all that can be read, or only
  /// those of one user (lsof run without privileges skips other users').
  struct Visibility {
    std::optional<uint32_t> onlyUid;
  };
  struct Result {
    std::vector<SocketHolder> holders;  ///< sorted by PID, then descriptor
    ProcessTable records;  ///< of every PID in holders that could be read
    ProcessTable ancestors;  ///< of their ancestors, when the walk read them (see readChain)
    PortCore::ProcListing listing;  ///< the processes there were to look at
    Walk walk = Walk::Full;
  };

  explicit SocketHolderFinder(Visibility visibility) : visibility_(visibility) {}

  /// The holders of `listening` under the /proc directory `root`.
  Result find(int root, const InodeSet& listening);
  /// Drops what was remembered: the next find() walks everything.
  void forget();

 private:
  struct Scan;
  Result fullWalk(Scan& scan);
  std::optional<Result> incremental(Scan& scan);
  void remember(const Result& result, Scan& scan);

  Visibility visibility_;
  bool primed_ = false;
  unsigned scansSinceFullWalk_ = 0;
  PortCore::ProcListing known_;  ///< at the last scan
  std::vector<SocketHolder> holders_;
  std::unordered_map<int32_t, uint64_t> startTimes_;  ///< of the PIDs in holders_
  InodeSet inodes_;                                  ///< listening at the last scan
};
