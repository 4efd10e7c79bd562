#include "core/scan/lsof_parse.h"

#include "core/scan/scan.h"
#include "core/system/number.h"
#include "core/system/text.h"

#include <unordered_set>

namespace PortCore {

namespace {

struct SocketName {
  std::string_view address;
  int64_t port = 0;
};

// "127.0.0.1:3000", "*:3000", "[::1]:8080": the port after the last colon.
std::optional<SocketName> splitSocketName(std::string_view name) {
  auto colon = name.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  auto port = parseInt64(name.substr(colon + 1));
  if (!port) return std::nullopt;
  return SocketName{name.substr(0, colon), *port};
}

int32_t pidOrZero(std::string_view value) { return parseInt32(value).value_or(0); }

}  // namespace

ScanSnapshot parseLsofSockets(std::string_view lsofOutput, const ProcessTable& table) {
  ScanSnapshot snapshot;
  int32_t pid = 0;
  ProcessRecord beforeAnyProcess;
  ProcessRecord* holder = &beforeAnyProcess;
  for (auto line : splitLines(lsofOutput)) {
    char tag = line.front();
    auto value = line.substr(1);
    if (tag == 'p') {
      pid = pidOrZero(value);
      holder = &(snapshot.processes[pid] = ProcessRecord{});
    } else if (tag == 'R') {
      holder->ppid = pidOrZero(value);
    } else if (tag == 'c') {
      holder->comm = value;
    } else if (tag == 'u') {
      holder->uid = parseInt64(value).value_or(-1);
    } else if (tag == 'L') {
      holder->user = value;
    } else if (tag == 'n') {
      if (auto socket = splitSocketName(value))
        snapshot.listeners.push_back({0, std::string(socket->address), socket->port, pid});
    }
  }
  // ps's parent link wins: it is what the ancestors' rows were read with.
  for (const auto& [parent, row] : table) {
    auto [record, added] = snapshot.processes.try_emplace(parent, row);
    if (!added) record->second.ppid = row.ppid;
  }
  return snapshot;
}

std::vector<PortEntry> parseLsof(std::string_view lsofOutput, const ProcessTable& table) {
  return joinScan(parseLsofSockets(lsofOutput, table));
}

CwdMap cwdMap(std::string_view lsofOutput) {
  CwdMap map;
  int32_t pid = 0;
  for (auto line : splitLines(lsofOutput)) {
    if (line.front() == 'p') {
      pid = pidOrZero(line.substr(1));
    } else if (line.front() == 'n' && pid != 0) {
      map[pid] = line.substr(1);
    }
  }
  return map;
}

std::vector<int64_t> parsePortNumbers(std::string_view lsofOutput) {
  std::unordered_set<int64_t> ports;
  for (auto line : splitLines(lsofOutput)) {
    if (line.front() != 'n') continue;
    if (auto socket = splitSocketName(line.substr(1))) ports.insert(socket->port);
  }
  return {ports.begin(), ports.end()};
}

}  // namespace PortCore
