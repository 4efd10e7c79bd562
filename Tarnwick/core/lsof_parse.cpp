#include "core/lsof_parse.h"

#include "core/number.h"
#include "core/text.h"

#include <algorithm>
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

std::vector<PortEntry> parseLsof(std::string_view lsofOutput, const ProcessTable& table) {
  int32_t pid = 0;
  std::string command, user;
  std::unordered_set<std::string> seen;
  std::vector<PortEntry> entries;
  for (auto line : splitLines(lsofOutput)) {
    char tag = line.front();
    auto value = line.substr(1);
    if (tag == 'p') {
      pid = pidOrZero(value);
      command.clear();
      user.clear();
    } else if (tag == 'c') {
      command = value;
    } else if (tag == 'L') {
      user = value;
    } else if (tag == 'n') {
      auto socket = splitSocketName(value);
      if (!socket) continue;
      if (!seen.insert(std::to_string(pid) + ":" + std::to_string(socket->port)).second) continue;
      auto [chain, root] = ancestry(pid, table);
      entries.push_back(PortEntry{socket->port, std::string(socket->address), pid, command, user,
                                  std::move(chain), root, std::nullopt, std::nullopt});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const PortEntry& a, const PortEntry& b) {
    return a.port != b.port ? a.port < b.port : a.pid < b.pid;
  });
  return entries;
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
