#include "core/scan_source.h"

#include "core/tool_paths.h"
#include "core/tool_runner.h"

ToolScanSource::ToolScanSource(ToolRunner& runner) : runner_(runner) {}

std::string ToolScanSource::listeningSockets() {
  return runner_.run(ToolPaths::lsof, {"-F", "pcRuLPn", "-iTCP", "-sTCP:LISTEN", "-n", "-P", "+c0"});
}

std::string ToolScanSource::processList() {
  return runner_.run(ToolPaths::ps, {"-axo", "pid=,ppid=,comm="});
}

std::string ToolScanSource::workingDirectories(const std::vector<int32_t>& pids) {
  std::string list;
  for (auto pid : pids) {
    if (!list.empty()) list += ',';
    list += std::to_string(pid);
  }
  return runner_.run(ToolPaths::lsof, {"-a", "-p", list, "-d", "cwd", "-F", "pn"});
}

std::string ToolScanSource::listeningPortNumbers() {
  return runner_.run(ToolPaths::lsof, {"-F", "n", "-iTCP", "-sTCP:LISTEN", "-n", "-P"});
}
