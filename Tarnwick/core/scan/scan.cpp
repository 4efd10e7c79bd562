#include "core/scan/scan.h"

#include "core/scan/scan_source.h"

#include <algorithm>
#include <map>
#include <set>

namespace PortCore {

std::vector<PortEntry> joinScan(const ScanSnapshot& snapshot) {
  std::set<std::pair<int32_t, int64_t>> seen;
  std::vector<PortEntry> entries;
  for (const auto& listener : snapshot.listeners) {
    if (!seen.emplace(listener.pid, listener.port).second) continue;
    PortEntry entry{listener.port, listener.address, listener.pid, {}, {}, {}, listener.pid, {}, {}};
    if (auto record = snapshot.processes.find(listener.pid); record != snapshot.processes.end()) {
      entry.command = record->second.comm;
      entry.user = record->second.user;
    }
    auto [chain, root] = ancestry(listener.pid, snapshot.processes);
    entry.parentChain = std::move(chain);
    entry.rootPid = root;
    if (auto dir = snapshot.directories.find(listener.pid); dir != snapshot.directories.end() && dir->second != "/")
      entry.cwd = dir->second;
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(), [](const PortEntry& a, const PortEntry& b) {
    return a.port != b.port ? a.port < b.port : a.pid < b.pid;
  });
  return entries;
}

void fillProjects(std::vector<PortEntry>& entries, FileSystemReads& files) {
  // Many ports are often served from one folder: each file is read once.
  std::map<std::string_view, size_t> folders;
  std::vector<std::string> paths;
  for (const auto& entry : entries)
    if (entry.cwd && folders.emplace(*entry.cwd, paths.size()).second) paths.push_back(packageJsonPath(*entry.cwd));
  auto contents = files.readAll(paths);
  for (auto& entry : entries)
    if (entry.cwd) entry.project = projectName(*entry.cwd, contents[folders.at(*entry.cwd)]);
}

PortScan scanPorts(ScanSource& source, Projects projects) {
  auto snapshot = source.snapshot();
  PortScan scan{joinScan(snapshot), {}};
  if (projects == Projects::Read) fillProjects(scan.entries, source.projectFiles());
  for (const auto& entry : scan.entries)
    if (auto record = snapshot.processes.find(entry.pid); record != snapshot.processes.end())
      scan.holders.insert(*record);
  return scan;
}

PortScan scanPorts(Projects projects) { return scanPorts(*makeSystemScanSource(), projects); }

std::vector<PortEntry> listPorts(ScanSource& source) { return scanPorts(source).entries; }

std::vector<PortEntry> listPorts() { return listPorts(*makeSystemScanSource()); }

std::vector<int64_t> listeningPortNumbers(ScanSource& source) {
  auto ports = source.listeningPorts();
  std::sort(ports.begin(), ports.end());
  ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
  return ports;
}

std::vector<int64_t> listeningPortNumbers() { return listeningPortNumbers(*makeSystemScanSource()); }

}  // namespace PortCore
