#include "core/stat_facts.h"

#include "core/proc_files.h"
#include "core/proc_stat_line.h"

#include <cstdio>

namespace PortCore {

std::optional<StatFacts> parseProcStat(std::string_view stat) {
  auto line = parseProcStatLine(stat);
  if (!line) return std::nullopt;
  return StatFacts{std::string(line->comm), line->ppid, line->startTime, -1};
}

std::optional<StatFacts> readProcStat(int root, int32_t pid) {
  char path[32];
  std::snprintf(path, sizeof path, "%d/stat", static_cast<int>(pid));
  return parseProcStat(ProcFiles::readFile(root, path));
}

std::optional<StatFacts> readProcessFacts(int root, int32_t pid) {
  auto facts = readProcStat(root, pid);
  if (!facts) return std::nullopt;
  char path[32];
  std::snprintf(path, sizeof path, "%d", static_cast<int>(pid));
  facts->uid = ProcFiles::ownerUid(root, path);
  if (facts->uid < 0) return std::nullopt;
  return facts;
}

}  // namespace PortCore
