#include "core/scan.h"

#include "core/lsof_parse.h"
#include "core/process_table.h"
#include "core/project_name.h"
#include "core/scan_source.h"

#include <unordered_set>

namespace PortCore {

namespace {

std::vector<int32_t> distinctPids(const std::vector<PortEntry>& entries) {
  std::vector<int32_t> pids;
  std::unordered_set<int32_t> seen;
  for (const auto& entry : entries)
    if (seen.insert(entry.pid).second) pids.push_back(entry.pid);
  return pids;
}

void fillProjects(std::vector<PortEntry>& entries, const CwdMap& directories) {
  for (auto& entry : entries) {
    auto dir = directories.find(entry.pid);
    if (dir == directories.end() || dir->second == "/") continue;
    entry.cwd = dir->second;
    entry.project = projectName(dir->second);
  }
}

}  // namespace

std::vector<PortEntry> listPorts(ScanSource& source) {
  std::string sockets = source.listeningSockets();
  auto entries = parseLsof(sockets, processTable(source));
  if (entries.empty()) return entries;
  fillProjects(entries, cwdMap(source.workingDirectories(distinctPids(entries))));
  return entries;
}

std::vector<PortEntry> listPorts() { return listPorts(systemScanSource()); }

PortScan scanPorts(ScanSource& source) {
  PortScan scan;
  scan.entries = listPorts(source);
  scan.startTimes = startTimes(distinctPids(scan.entries));
  return scan;
}

PortScan scanPorts() { return scanPorts(systemScanSource()); }

std::vector<int64_t> listeningPortNumbers(ScanSource& source) {
  return parsePortNumbers(source.listeningPortNumbers());
}

std::vector<int64_t> listeningPortNumbers() { return listeningPortNumbers(systemScanSource()); }

}  // namespace PortCore
