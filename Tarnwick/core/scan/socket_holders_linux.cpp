#include "core/scan/socket_holders.h"

#include "core/scan/parallel_chunks.h"
#include "core/system/proc_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

// A socket passed between two processes that were both running at the last
// scan (SCM_RIGHTS) shows no sign of it in /proc; a periodic full walk bounds
// how long such a holder can go unseen.
constexpr unsigned fullWalkEvery = 32;

// Holder chains are short; this only stops a parent loop in a broken tree.
constexpr int maxClimb = 64;

struct PathBuffer {
  char text[48];
};

PathBuffer pathOf(int32_t pid, const char* tail = "") {
  PathBuffer path;
  std::snprintf(path.text, sizeof path.text, "%d%s", static_cast<int>(pid), tail);
  return path;
}

// Decimal without snprintf: this runs once per open descriptor in a full walk.
const char* decimal(int32_t value, char (&buffer)[16]) {
  char* end = buffer + sizeof buffer - 1;
  *end = '\0';
  auto number = static_cast<uint32_t>(value);
  do {
    *--end = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number);
  return end;
}

// The socket inode a descriptor link names; 0 for anything else, -1 when there
// is no such descriptor.
int64_t linkedSocket(int dir, const char* name) {
  char target[48];
  ssize_t n = ::readlinkat(dir, name, target, sizeof target);
  if (n < 0) return errno == ENOENT ? -1 : 0;
  if (n < 10 || std::memcmp(target, "socket:[", 8) != 0) return 0;
  return static_cast<int64_t>(ProcFiles::socketInode(std::string_view(target, static_cast<size_t>(n))));
}

// Descriptors are handed out lowest first, so most tables are dense. Listing
// a fd directory costs about as much as reading every link in it, so when
// the kernel tells how many descriptors are open (the size of the directory,
// Linux 6.2 on) the first ones are read by number; only a table with gaps is
// listed, for what lies beyond the numbers tried.
constexpr int32_t probeSlack = 4;

enum class DirectorySize { CountsDescriptors, Unknown };

// procfs tells the descriptor count in a fd directory's size; a fixture tree
// on another file system does not.
DirectorySize directorySizeOf(int root) {
  struct statfs fs;
  return ::fstatfs(root, &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC ? DirectorySize::CountsDescriptors
                                                                    : DirectorySize::Unknown;
}

// Appends the descriptors of `pid` that hold one of `listening`.
void walkProcess(int root, DirectorySize size, int32_t pid, const InodeSet& listening,
                 std::vector<SocketHolder>& out, std::vector<ProcFiles::NumericEntry>& scratch) {
  auto fds = ProcFiles::openDir(root, pathOf(pid, "/fd").text);
  if (!fds.valid()) return;
  auto check = [&](int32_t fd) {
    char name[16];
    int64_t inode = linkedSocket(fds.get(), decimal(fd, name));
    if (inode > 0 && listening.count(static_cast<uint64_t>(inode)))
      out.push_back({pid, fd, static_cast<uint64_t>(inode)});
    return inode >= 0;
  };
  struct stat st;
  int64_t open = size == DirectorySize::CountsDescriptors && ::fstat(fds.get(), &st) == 0 ? st.st_size : 0;
  int32_t tried = 0;
  if (open > 0) {
    int64_t found = 0;
    for (; found < open && tried < open + probeSlack; ++tried)
      if (check(tried)) ++found;
    if (found == open) return;
  }
  ProcFiles::numericEntries(fds.get(), scratch);
  for (const auto& entry : scratch)
    if (entry.number >= tried) check(entry.number);
}

bool byPidThenFd(const SocketHolder& a, const SocketHolder& b) {
  return a.pid != b.pid ? a.pid < b.pid : a.fd < b.fd;
}

}  // namespace

struct SocketHolderFinder::Scan {
  Scan(int root, const InodeSet& listening, Visibility visibility)
      : root(root),
        size(directorySizeOf(root)),
        listening(listening),
        visibility(visibility),
        pids(PortCore::listProcesses(root)) {}

  int root;
  DirectorySize size;
  const InodeSet& listening;
  Visibility visibility;
  PortCore::ProcListing pids;
  ProcessTable records;
  std::vector<ProcFiles::NumericEntry> scratch;

  bool visible(int32_t pid) const {
    if (!visibility.onlyUid) return true;
    return ProcFiles::ownerUid(root, pathOf(pid).text) == static_cast<int64_t>(*visibility.onlyUid);
  }

  void walk(int32_t pid, std::vector<SocketHolder>& out) {
    if (visible(pid)) walkProcess(root, size, pid, listening, out, scratch);
  }

  const ProcessRecord* recordOf(int32_t pid) {
    auto known = records.find(pid);
    if (known != records.end()) return &known->second;
    auto read = PortCore::readProcessRecord(root, pid);
    if (!read) return nullptr;
    return &records.emplace(pid, std::move(*read)).first->second;
  }

  // Sorts, and drops the holders whose process is gone or no longer visible.
  Result finish(std::vector<SocketHolder> holders, Walk walk) {
    std::sort(holders.begin(), holders.end(), byPidThenFd);
    std::erase_if(holders, [this](const SocketHolder& holder) {
      const auto* known = recordOf(holder.pid);
      return !known || (visibility.onlyUid && known->uid != static_cast<int64_t>(*visibility.onlyUid));
    });
    ProcessTable used;
    for (const auto& holder : holders) used.emplace(holder.pid, records.at(holder.pid));
    return Result{std::move(holders), std::move(used), {}, pids, walk};
  }
};

SocketHolderFinder::Result SocketHolderFinder::find(int root, const InodeSet& listening) {
  if (primed_ && ++scansSinceFullWalk_ < fullWalkEvery) {
    Scan scan{root, listening, visibility_};
    if (auto result = incremental(scan)) {
      remember(*result, scan);
      return std::move(*result);
    }
  }
  Scan scan{root, listening, visibility_};
  auto result = fullWalk(scan);
  scansSinceFullWalk_ = 0;
  remember(result, scan);
  return result;
}

void SocketHolderFinder::forget() {
  primed_ = false;
  known_.clear();
  holders_.clear();
  startTimes_.clear();
  inodes_.clear();
}

SocketHolderFinder::Result SocketHolderFinder::fullWalk(Scan& scan) {
  std::vector<int32_t> pids;
  pids.reserve(scan.pids.size());
  for (const auto& [pid, inode] : scan.pids) pids.push_back(pid);
  std::sort(pids.begin(), pids.end());
  std::vector<std::vector<SocketHolder>> found(PortCore::workersFor(pids.size()));
  std::vector<ProcessTable> records(found.size()), ancestors(found.size());
  std::vector<std::vector<ProcFiles::NumericEntry>> scratch(found.size());
  PortCore::forEachChunk(pids.size(), [&](size_t begin, size_t end, unsigned worker) {
    for (size_t i = begin; i < end; ++i) {
      if (!scan.visible(pids[i])) continue;
      auto held = found[worker].size();
      walkProcess(scan.root, scan.size, pids[i], scan.listening, found[worker], scratch[worker]);
      if (found[worker].size() == held) continue;
      // A holder's record and chain are read by the worker that found it,
      // while the others walk on, rather than one by one after the walk.
      auto record = PortCore::readProcessRecord(scan.root, pids[i]);
      if (!record) continue;
      PortCore::readChain(scan.root, record->ppid, ancestors[worker]);
      records[worker].emplace(pids[i], std::move(*record));
    }
  });
  std::vector<SocketHolder> holders;
  for (auto& part : found) holders.insert(holders.end(), part.begin(), part.end());
  for (auto& part : records) scan.records.merge(part);
  auto result = scan.finish(std::move(holders), Walk::Full);
  for (auto& part : ancestors) result.ancestors.merge(part);
  return result;
}

std::optional<SocketHolderFinder::Result> SocketHolderFinder::incremental(Scan& scan) {
  std::set<int32_t> fresh;  // new since the last scan, or a PID now used by another process
  for (const auto& [pid, inode] : scan.pids) {
    auto known = known_.find(pid);
    if (known == known_.end() || known->second != inode) fresh.insert(pid);
  }
  std::set<int32_t> toWalk = fresh;
  std::vector<SocketHolder> kept;
  for (const auto& holder : holders_) {
    if (!scan.listening.count(holder.inode) || !scan.pids.count(holder.pid) || toWalk.count(holder.pid))
      continue;
    const auto* record = scan.recordOf(holder.pid);
    if (!record) continue;
    char name[16];
    auto fdPath = pathOf(holder.pid, "/fd/");
    std::strcat(fdPath.text, decimal(holder.fd, name));
    if (record->startTime != startTimes_[holder.pid] ||
        linkedSocket(scan.root, fdPath.text) != static_cast<int64_t>(holder.inode)) {
      toWalk.insert(holder.pid);  // moved to another descriptor, or another process: look again
      continue;
    }
    kept.push_back(holder);
  }
  std::erase_if(kept, [&](const SocketHolder& holder) { return toWalk.count(holder.pid) > 0; });

  std::vector<SocketHolder> found;
  for (auto pid : toWalk) scan.walk(pid, found);
  // A process that was already running may have opened a socket and then
  // started the new process that inherited it: both hold it, so the nearest
  // ancestor that was not walked is walked too.
  std::set<int32_t> walked = toWalk;
  for (size_t i = 0; i < found.size(); ++i) {
    if (inodes_.count(found[i].inode) || !fresh.count(found[i].pid)) continue;
    int32_t pid = found[i].pid;
    for (int step = 0; step < maxClimb; ++step) {
      const auto* record = scan.recordOf(pid);
      if (!record || record->ppid <= 1) break;
      pid = record->ppid;
      if (walked.count(pid)) continue;
      walked.insert(pid);
      if (scan.pids.count(pid)) scan.walk(pid, found);
      break;
    }
  }
  std::erase_if(kept, [&](const SocketHolder& holder) { return walked.count(holder.pid) > 0; });
  kept.insert(kept.end(), found.begin(), found.end());

  // A socket that newly listens with no holder found, or one whose holders
  // all vanished while it still listens, has a holder this scan did not look at.
  InodeSet held, heldBefore;
  for (const auto& holder : kept) held.insert(holder.inode);
  for (const auto& holder : holders_) heldBefore.insert(holder.inode);
  for (auto inode : scan.listening)
    if (!held.count(inode) && (!inodes_.count(inode) || heldBefore.count(inode))) return std::nullopt;
  return scan.finish(std::move(kept), Walk::Incremental);
}

void SocketHolderFinder::remember(const Result& result, Scan& scan) {
  primed_ = true;
  known_ = std::move(scan.pids);
  holders_ = result.holders;
  startTimes_.clear();
  for (const auto& [pid, record] : result.records) startTimes_[pid] = record.startTime;
  inodes_ = scan.listening;
}
