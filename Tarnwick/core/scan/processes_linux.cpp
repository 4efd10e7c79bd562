#include "core/scan/processes_linux.h"

#include "core/scan/parallel_chunks.h"
#include "core/system/proc_files.h"
#include "core/system/proc_stat_line.h"

#include <algorithm>
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

ProcessTable ProcTableCache::read(int root, const std::vector<int32_t>& fresh, const ProcessTable& justRead,
                                  Extent extent) {
  auto dir = ProcFiles::openDir(root, ".");
  if (!dir.valid()) return {};
  auto entries = ProcFiles::numericEntries(dir.get());
  // /proc lists PIDs in order; a fixture tree on another file system need not.
  std::sort(entries.begin(), entries.end(),
            [](const ProcFiles::NumericEntry& a, const ProcFiles::NumericEntry& b) { return a.number < b.number; });
  ++calls_;
  std::unordered_map<int32_t, uint64_t> present;
  present.reserve(entries.size());
  for (const auto& entry : entries) present.emplace(entry.number, entry.inode);

  auto stale = [&](const ProcFiles::NumericEntry& entry) {
    auto row = rows_.find(entry.number);
    if (row == rows_.end() || row->second.inode != entry.inode) return true;
    if ((static_cast<uint64_t>(entry.number) + calls_) % refreshEvery == 0) return true;
    if (row->second.ppid < 1) return false;
    auto parent = present.find(row->second.ppid);
    auto parentRow = rows_.find(row->second.ppid);
    return parent == present.end() || parentRow == rows_.end() || parentRow->second.inode != parent->second;
  };
  std::vector<size_t> toRead;
  for (size_t i = 0; i < entries.size(); ++i)
    if (stale(entries[i])) toRead.push_back(i);

  std::vector<std::optional<ProcessRecord>> stats(toRead.size());
  PortCore::forEachChunk(toRead.size(), [&](size_t begin, size_t end, unsigned) {
    for (size_t i = begin; i < end; ++i) stats[i] = readProcStat(root, entries[toRead[i]].number);
  });
  for (size_t i = 0; i < toRead.size(); ++i) {
    const auto& entry = entries[toRead[i]];
    commFiles_.erase(entry.number);  // a new process, or one whose name is read in full now
    if (!stats[i]) {
      rows_.erase(entry.number);  // exited while we looked
      continue;
    }
    rows_[entry.number] = Row{entry.inode, stats[i]->ppid, std::move(stats[i]->comm), calls_};
  }
  for (auto it = rows_.begin(); it != rows_.end();) {
    if (present.count(it->first)) {
      ++it;
      continue;
    }
    commFiles_.erase(it->first);
    it = rows_.erase(it);
  }

  for (const auto& [pid, facts] : justRead) {
    auto row = rows_.find(pid);
    if (row != rows_.end() && row->second.readAt != calls_)
      row->second = Row{row->second.inode, facts.ppid, facts.comm, calls_};
  }
  // The chains a scan reports are read now, whatever the cache holds. A
  // parent link is already exact (it changes only when the parent goes, which
  // made the row stale above), so the name is all that needs reading, and
  // comm is far cheaper for the kernel to write than stat.
  ProcessTable table;
  for (auto pid : fresh) {
    for (int step = 0; step < maxAncestors && pid >= 1; ++step) {
      auto row = rows_.find(pid);
      if (row == rows_.end()) break;
      if (row->second.readAt != calls_) {
        auto comm = commOf(root, pid);
        if (!comm) {
          rows_.erase(row);
          break;
        }
        row->second.comm = std::move(*comm);
        row->second.readAt = calls_;
      }
      table.try_emplace(pid, ProcessRecord{row->second.ppid, row->second.comm});
      pid = row->second.ppid;
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
