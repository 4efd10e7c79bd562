#include "core/scan/scan_source.h"

#include "core/scan/processes.h"
#include "core/scan/lsof_parse.h"
#include "core/system/program_paths.h"
#include "core/system/tool_runner.h"

#include <set>

ToolScanSource::ToolScanSource(ToolRunner& runner) : runner_(runner) {}

ScanSnapshot ToolScanSource::snapshot() {
  auto sockets = runner_.run(ToolPaths::lsof, {"-F", "pcRuLPn", "-iTCP", "-sTCP:LISTEN", "-n", "-P", "+c0"});
  auto snapshot = PortCore::parseLsofSockets(sockets);
  if (snapshot.listeners.empty()) return {};
  std::set<int32_t> holders;
  for (const auto& listener : snapshot.listeners) holders.insert(listener.pid);
  snapshot = PortCore::parseLsofSockets(sockets, processes());
  std::string list;
  for (auto pid : holders) {
    if (!list.empty()) list += ',';
    list += std::to_string(pid);
    snapshot.processes[pid].startTime = PortCore::processStartTime(pid).value_or(0);
  }
  snapshot.directories = PortCore::cwdMap(runner_.run(ToolPaths::lsof, {"-a", "-p", list, "-d", "cwd", "-F", "pn"}));
  return snapshot;
}

ProcessTable ToolScanSource::processes() {
  return PortCore::parseProcessTable(runner_.run(ToolPaths::ps, {"-axo", "pid=,ppid=,comm="}));
}

std::vector<int64_t> ToolScanSource::listeningPorts() {
  return PortCore::parsePortNumbers(runner_.run(ToolPaths::lsof, {"-F", "n", "-iTCP", "-sTCP:LISTEN", "-n", "-P"}));
}
