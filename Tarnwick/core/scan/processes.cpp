#include "core/scan/processes.h"

#include "core/system/number.h"
#include "core/system/text.h"

#include <unordered_set>

namespace PortCore {

namespace {

// Splits "  123   1 /path/with spaces" into the two number columns and the rest,
// which is kept as it stands.
bool splitPsLine(std::string_view line, std::string_view& first, std::string_view& second,
                 std::string_view& rest) {
  auto nextRun = [&line](std::string_view& run) {
    auto start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    line.remove_prefix(start);
    auto end = line.find(' ');
    run = line.substr(0, end);
    line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    return true;
  };
  if (!nextRun(first) || !nextRun(second)) return false;
  if (line.empty()) return false;
  line.remove_prefix(1);  // the space that ends the second column
  if (line.empty()) return false;
  rest = line;  // unchanged: application paths hold spaces
  return true;
}

}  // namespace

ProcessTable parseProcessTable(std::string_view psOutput) {
  ProcessTable table;
  for (auto line : splitLines(psOutput)) {
    std::string_view pidText, ppidText, comm;
    if (!splitPsLine(line, pidText, ppidText, comm)) continue;
    auto pid = parseInt32(pidText);
    auto ppid = parseInt32(ppidText);
    if (!pid || !ppid) continue;
    table[*pid] = ProcessRecord{*ppid, std::string(comm)};
  }
  return table;
}

std::optional<ProcessIdentity> identityOf(int32_t pid, const ProcessTable& table) {
  auto record = table.find(pid);
  if (record == table.end() || record->second.startTime == 0) return std::nullopt;
  return ProcessIdentity{pid, record->second.startTime};
}

Ancestry ancestry(int32_t pid, const ProcessTable& table) {
  constexpr size_t maxChain = 20;
  Ancestry result{{}, pid};
  auto row = table.find(pid);
  if (row == table.end()) return result;
  std::unordered_set<int32_t> visited{pid};
  int32_t current = row->second.ppid;
  while (current >= 2 && result.chain.size() < maxChain) {
    auto ancestor = table.find(current);
    if (ancestor == table.end() || !visited.insert(current).second) break;
    result.chain.emplace_back(lastPathComponent(ancestor->second.comm));
    result.root = current;
    current = ancestor->second.ppid;
  }
  return result;
}

}  // namespace PortCore
