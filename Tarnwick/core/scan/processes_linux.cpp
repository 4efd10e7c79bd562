#include "core/scan/processes_linux.h"

#include "core/scan/parallel_chunks.h"
#include "core/system/proc_files.h"
#include "core/system/proc_stat_line.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <optional>

namespace {

constexpr uint64_t refreshEvery = 64;
// Kept open at most: well inside any descriptor limit.
constexpr size_t maxCommFiles = 512;
constexpr int maxAncestors = 22;  // the chain stops at 20 names; a little beyond is harmless

std::optional<ProcessRecord> readProcStat(int root, int32_t pid) {
  char path[32];
  std::snprintf(path, sizeof path, "%d/stat", static_cast<int>(pid));
  return PortCore::parseProcStat(ProcFiles::readFile(root, path));
}

}  // namespace

namespace PortCore {

std::optional<ProcessRecord> parseProcStat(std::string_view stat) {
  auto line = parseProcStatLine(stat);
  if (!line) return std::nullopt;
  return ProcessRecord{line->ppid, std::string(line->comm), -1, {}, line->startTime};
}

std::optional<ProcessRecord> readProcessRecord(int root, int32_t pid) {
  auto record = readProcStat(root, pid);
  if (!record) return std::nullopt;
  char path[32];
  std::snprintf(path, sizeof path, "%d", static_cast<int>(pid));
  record->uid = ProcFiles::ownerUid(root, path);
  if (record->uid < 0) return std::nullopt;
  return record;
}

void readChain(int root, int32_t pid, ProcessTable& table) {
  for (int step = 0; step < maxAncestors && pid >= 1 && !table.count(pid); ++step) {
    auto record = readProcStat(root, pid);
    if (!record) return;
    int32_t parent = record->ppid;
    table.emplace(pid, std::move(*record));
    pid = parent;
  }
}

ProcListing listProcesses(int root) {
  ProcListing listing;
  auto dir = ProcFiles::openDir(root, ".");
  if (!dir.valid()) return listing;
  auto entries = ProcFiles::numericEntries(dir.get());
  listing.reserve(entries.size());
  for (const auto& entry : entries) listing.emplace(entry.number, entry.inode);
  return listing;
}

}  // namespace PortCore

std::optional<std::string> ProcTableCache::commOf(int root, int32_t pid) {
  auto file = commFiles_.find(pid);
  if (file == commFiles_.end()) {
    char path[32];
    std::snprintf(path, sizeof path, "%d/comm", static_cast<int>(pid));
    PortCore::UniqueFd fd(::openat(root, path, O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return std::nullopt;
    if (commFiles_.size() >= maxCommFiles) {
      char buffer[64];
      ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
      if (n <= 0 || buffer[n - 1] != '\n') return std::nullopt;
      return std::string(buffer, static_cast<size_t>(n - 1));
    }
    file = commFiles_.emplace(pid, std::move(fd)).first;
  }
  char buffer[64];
  ssize_t n = ::pread(file->second.get(), buffer, sizeof buffer, 0);
  if (n <= 0 || buffer[n - 1] != '\n') {
    commFiles_.erase(pid);
    return std::nullopt;
  }
  return std::string(buffer, static_cast<size_t>(n - 1));
}

bool ProcTableCache::stale(const PortCore::ProcListing& listing, int32_t pid, uint64_t inode) const {
  auto row = rows_.find(pid);
  if (row == rows_.end() || row->second.inode != inode) return true;
  if (row->second.ppid < 1) return false;
  // A parent link changes only when the parent goes, and its PID may be
  // reused by then: the link holds while the parent's row is the one listed.
  auto parent = listing.find(row->second.ppid);
  auto parentRow = rows_.find(row->second.ppid);
  return parent == listing.end() || parentRow == rows_.end() || parentRow->second.inode != parent->second;
}

void ProcTableCache::forgetAbsent(const PortCore::ProcListing& listing) {
  for (auto it = rows_.begin(); it != rows_.end();) {
    if (listing.count(it->first)) {
      ++it;
      continue;
    }
    commFiles_.erase(it->first);
    it = rows_.erase(it);
  }
}

void ProcTableCache::readStale(int root, const PortCore::ProcListing& listing) {
  std::vector<std::pair<int32_t, uint64_t>> toRead;
  for (const auto& [pid, inode] : listing) {
    auto row = rows_.find(pid);
    bool due = row != rows_.end() && ((static_cast<uint64_t>(pid) + calls_) % refreshEvery == 0 ||
                                      calls_ - row->second.readAt >= refreshEvery);
    if (due || stale(listing, pid, inode)) toRead.emplace_back(pid, inode);
  }
  std::vector<std::optional<ProcessRecord>> stats(toRead.size());
  PortCore::forEachChunk(toRead.size(), [&](size_t begin, size_t end, unsigned) {
    for (size_t i = begin; i < end; ++i) stats[i] = readProcStat(root, toRead[i].first);
  });
  for (size_t i = 0; i < toRead.size(); ++i) {
    auto [pid, inode] = toRead[i];
    commFiles_.erase(pid);  // a new process, or one whose name is read in full now
    if (!stats[i]) {
      rows_.erase(pid);  // exited while we looked
      continue;
    }
    rows_[pid] = Row{inode, stats[i]->ppid, std::move(stats[i]->comm), calls_};
  }
}

// A chain's row as it is now. Its parent link is kept while it holds (see
// stale()), so the name is all that needs reading, and comm is far cheaper
// for the kernel to write than stat.
const ProcTableCache::Row* ProcTableCache::currentRow(int root, const PortCore::ProcListing& listing, int32_t pid) {
  auto listed = listing.find(pid);
  if (listed == listing.end()) return nullptr;
  auto row = rows_.find(pid);
  if (row != rows_.end() && row->second.readAt == calls_) return &row->second;
  if (stale(listing, pid, listed->second)) {
    commFiles_.erase(pid);
    auto stat = readProcStat(root, pid);
    if (!stat) {
      rows_.erase(pid);
      return nullptr;
    }
    return &(rows_[pid] = Row{listed->second, stat->ppid, std::move(stat->comm), calls_});
  }
  auto comm = commOf(root, pid);
  if (!comm) {
    rows_.erase(row);
    return nullptr;
  }
  row->second.comm = std::move(*comm);
  row->second.readAt = calls_;
  return &row->second;
}

ProcessTable ProcTableCache::read(int root, const PortCore::ProcListing& listing, const std::vector<int32_t>& fresh,
                                  const ProcessTable& justRead, Extent extent) {
  ++calls_;
  forgetAbsent(listing);
  // A scan needs only the chains it reports; reading every stat file would
  // cost it more than its descriptor walk saves.
  if (extent == Extent::Everything) readStale(root, listing);
  for (const auto& [pid, facts] : justRead) {
    auto listed = listing.find(pid);
    auto row = rows_.find(pid);
    if (listed == listing.end() || (row != rows_.end() && row->second.readAt == calls_)) continue;
    rows_[pid] = Row{listed->second, facts.ppid, facts.comm, calls_};
  }
  ProcessTable table;
  for (auto pid : fresh) {
    for (int step = 0; step < maxAncestors && pid >= 1; ++step) {
      const auto* row = currentRow(root, listing, pid);
      if (!row) break;
      table.try_emplace(pid, ProcessRecord{row->ppid, row->comm});
      pid = row->ppid;
    }
  }
  if (extent == Extent::Everything)
    for (const auto& [pid, row] : rows_) table.try_emplace(pid, ProcessRecord{row.ppid, row.comm});
  return table;
}

namespace PortCore {

std::optional<uint64_t> processStartTime(const ProcRoot& root, int32_t pid) {
  if (pid <= 0) return std::nullopt;
  auto record = readProcStat(root.fd(), pid);
  if (!record) return std::nullopt;
  return record->startTime;
}

std::optional<uint64_t> processStartTime(int32_t pid) { return processStartTime(systemProcRoot(), pid); }

}  // namespace PortCore
