#include "core/proc_scan_source.h"

#include "core/command_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <unordered_map>

namespace {

SocketHolderFinder::Visibility visibilityOfThisProcess() {
  uid_t uid = ::geteuid();
  if (uid == 0) return {};
  return {static_cast<uint32_t>(uid)};
}

void appendNumberLine(std::string& out, char tag, int64_t value) {
  out += tag;
  out += std::to_string(value);
  out += '\n';
}

void appendProcessLines(std::string& out, int32_t pid, const StatFacts& facts, UserNames& users) {
  appendNumberLine(out, 'p', pid);
  appendNumberLine(out, 'R', facts.ppid);
  out += 'c';
  out += PortCore::lsofText(facts.comm);
  out += '\n';
  appendNumberLine(out, 'u', facts.uid);
  if (auto name = users.name(static_cast<uint32_t>(facts.uid))) {
    out += 'L';
    out += *name;
    out += '\n';
  }
}

}  // namespace

ProcScanSource::ProcScanSource(const std::string& procRoot, SocketTable table)
    : root_(ProcFiles::openDir(AT_FDCWD, procRoot.c_str())), table_(table), finder_(visibilityOfThisProcess()) {}

std::vector<ListeningSocket> ProcScanSource::readListeningSockets() {
  if (table_ == SocketTable::Kernel)
    if (auto sockets = PortCore::kernelListeningSockets()) return std::move(*sockets);
  auto sockets = PortCore::parseTcpTable(ProcFiles::readFile(root_.fd(), "net/tcp"), PortCore::TcpFamily::V4);
  auto v6 = PortCore::parseTcpTable(ProcFiles::readFile(root_.fd(), "net/tcp6"), PortCore::TcpFamily::V6);
  sockets.insert(sockets.end(), std::make_move_iterator(v6.begin()), std::make_move_iterator(v6.end()));
  return sockets;
}

std::string ProcScanSource::listeningSockets() {
  if (!root_.valid()) return {};
  auto sockets = readListeningSockets();
  std::lock_guard lock(mutex_);
  if (sockets.empty()) {
    // Nothing listens: no process is worth a look.
    finder_.forget();
    lastWalk_ = LastWalk::None;
    owners_.clear();
    ownerFacts_.clear();
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
  owners_.clear();
  for (const auto& holder : found.holders)
    if (owners_.empty() || owners_.back() != holder.pid) owners_.push_back(holder.pid);
  ownerFacts_ = found.facts;

  std::string out;
  int32_t current = 0;
  for (const auto& holder : found.holders) {
    if (holder.pid != current) {
      current = holder.pid;
      appendProcessLines(out, current, found.facts.at(current), users_);
    }
    out += "PTCP\n";
    PortCore::appendPortNumberLine(out, *byInode.at(holder.inode));
  }
  return out;
}

std::string ProcScanSource::processList() {
  if (!root_.valid()) return {};
  std::vector<int32_t> owners;
  FactsByPid justRead;
  {
    std::lock_guard lock(mutex_);
    owners = owners_;
    justRead.swap(ownerFacts_);  // fresh for the listing that follows a socket scan, not later ones
  }
  return rows_.list(root_.fd(), owners, justRead);
}

std::string ProcScanSource::workingDirectories(const std::vector<int32_t>& pids) {
  if (!root_.valid()) return {};
  std::vector<int32_t> sorted(pids.begin(), pids.end());
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::string out;
  for (auto pid : sorted) {
    if (pid <= 0) continue;
    char path[32];
    std::snprintf(path, sizeof path, "%d/cwd", static_cast<int>(pid));
    int error = 0;
    auto directory = ProcFiles::readLink(root_.fd(), path, 4096, &error);
    if (error == ENOENT || error == ESRCH) continue;  // no such process
    appendNumberLine(out, 'p', pid);
    if (error != 0) continue;
    out += 'n';
    out += PortCore::lsofText(directory);
    out += '\n';
  }
  return out;
}

std::string ProcScanSource::listeningPortNumbers() {
  if (!root_.valid()) return {};
  return PortCore::portNumberLines(readListeningSockets());
}

ProcScanSource::LastWalk ProcScanSource::lastWalk() {
  std::lock_guard lock(mutex_);
  return lastWalk_;
}
