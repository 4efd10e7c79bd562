#include "core/scan/scan_source_linux.h"

#include <cstdio>
#include <unistd.h>
#include <unordered_map>

namespace {

std::optional<uint32_t> onlyUidOfThisProcess() {
  uid_t uid = ::geteuid();
  if (uid == 0) return std::nullopt;
  return static_cast<uint32_t>(uid);
}

}  // namespace

ProcScanSource::ProcScanSource(const std::string& procRoot, SocketTable table)
    : root_(procRoot),
      table_(table),
      onlyUid_(onlyUidOfThisProcess()),
      finder_({onlyUid_}) {}

std::vector<ListeningSocket> ProcScanSource::readListeningSockets() {
  if (table_ == SocketTable::Kernel)
    if (auto sockets = PortCore::kernelListeningSockets()) return std::move(*sockets);
  auto sockets = PortCore::parseTcpTable(root_.read("net/tcp"), PortCore::TcpFamily::V4);
  auto v6 = PortCore::parseTcpTable(root_.read("net/tcp6"), PortCore::TcpFamily::V6);
  sockets.insert(sockets.end(), std::make_move_iterator(v6.begin()), std::make_move_iterator(v6.end()));
  return sockets;
}

CwdMap ProcScanSource::directoriesOf(const std::vector<int32_t>& pids) {
  CwdMap directories;
  for (auto pid : pids) {
    char path[32];
    std::snprintf(path, sizeof path, "%d/cwd", static_cast<int>(pid));
    int error = 0;
    auto directory = root_.readLink(path, ProcFiles::kLinkLimit, &error);
    if (error == 0) directories.emplace(pid, std::move(directory));
  }
  return directories;
}

ScanSnapshot ProcScanSource::snapshot() {
  if (!root_.valid()) return {};
  auto sockets = readListeningSockets();
  std::lock_guard lock(mutex_);
  if (sockets.empty()) {
    // Nothing listens: no process is worth a look.
    finder_.forget();
    lastWalk_ = LastWalk::None;
    return {};
  }
  std::unordered_map<uint64_t, const ListeningSocket*> byInode;
  InodeSet listening;
  for (const auto& socket : sockets) {
    byInode.emplace(socket.inode, &socket);
    listening.insert(socket.inode);
  }
  auto found = finder_.find(root_.fd(), listening);
  lastWalk_ = found.walk == SocketHolderFinder::Walk::Full ? LastWalk::Full : LastWalk::Incremental;

  ScanSnapshot snapshot;
  std::vector<int32_t> holders;
  for (const auto& holder : found.holders) {
    const auto& socket = *byInode.at(holder.inode);
    snapshot.listeners.push_back({holder.inode, socket.address, socket.port, holder.pid});
    if (holders.empty() || holders.back() != holder.pid) holders.push_back(holder.pid);
  }
  auto justRead = std::move(found.ancestors);
  for (const auto& [pid, record] : found.records) justRead.insert_or_assign(pid, record);
  snapshot.processes = processes_.read(root_.fd(), found.listing, holders, justRead, ProcTableCache::Extent::Chains);
  for (auto& [pid, record] : found.records) {
    record.user = users_.name(static_cast<uint32_t>(record.uid)).value_or("");
    snapshot.processes[pid] = std::move(record);
  }
  snapshot.directories = directoriesOf(holders);
  return snapshot;
}

ProcessTable ProcScanSource::processes() {
  if (!root_.valid()) return {};
  std::lock_guard lock(mutex_);
  return processes_.read(root_.fd(), PortCore::listProcesses(root_.fd()), {}, {}, ProcTableCache::Extent::Everything);
}

std::vector<int64_t> ProcScanSource::listeningPorts() {
  if (!root_.valid()) return {};
  std::vector<int64_t> ports;
  for (const auto& socket : readListeningSockets())
    if (!onlyUid_ || socket.uid == *onlyUid_) ports.push_back(socket.port);
  return ports;
}

ProcScanSource::LastWalk ProcScanSource::lastWalk() {
  std::lock_guard lock(mutex_);
  return lastWalk_;
}

namespace PortCore {

std::unique_ptr<ScanSource> makeSystemScanSource() { return std::make_unique<ProcScanSource>(); }

}  // namespace PortCore
