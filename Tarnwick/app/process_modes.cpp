#include "app/modes.h"
#include "core/process_control.h"
#include "core/scan.h"

#include <cstdio>
#include <string>

namespace {

std::vector<PortEntry> entriesOnPort(const std::vector<PortEntry>& entries, const ModeValue& value) {
  std::vector<PortEntry> matching;
  const auto* port = std::get_if<int64_t>(&value);
  if (!port) return matching;
  for (const auto& entry : entries)
    if (entry.port == *port) matching.push_back(entry);
  return matching;
}

// Each line is flushed before the blocking stop that follows it, so a
// terminal shows what is being stopped while it happens.
void printLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string fullCommOf(int32_t pid, const ProcessTable& table) {
  auto row = table.find(pid);
  return row == table.end() ? "?" : row->second.comm;
}

}  // namespace

int runKillMode(const ModeValue& value) {
  for (const auto& entry : entriesOnPort(PortCore::listPorts(), value)) {
    printLine("killing " + entry.command + " pid " + std::to_string(entry.pid));
    PortCore::killProcess(entry.pid, Force::No);
  }
  return 0;
}

int runKillTreeMode(const ModeValue& value) {
  auto table = PortCore::processTable();
  for (const auto& entry : entriesOnPort(PortCore::listPorts(), value)) {
    int32_t top = PortCore::topDevAncestor(entry.pid, table);
    printLine("leaf " + std::to_string(entry.pid) + " (" + entry.command + ") -> tree root " +
              std::to_string(top) + " (" + fullCommOf(top, table) + ")");
    PortCore::killTree(entry.pid);
  }
  return 0;
}

int runRestartMode(const ModeValue& value) {
  for (const auto& entry : entriesOnPort(PortCore::listPorts(), value)) {
    printLine("restarting tree of pid " + std::to_string(entry.pid));
    PortCore::restartTree(entry.pid);
  }
  return 0;
}
