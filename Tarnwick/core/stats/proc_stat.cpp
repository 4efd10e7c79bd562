#include "core/stats/proc_stat.h"

#include "core/system/number.h"
#include "core/system/proc_stat_line.h"
#include "core/system/text.h"

#include <unistd.h>

namespace PortCore {

std::optional<ProcCounters> parseProcCounters(std::string_view text) {
  auto line = parseProcStatLine(text);
  if (!line) return std::nullopt;
  return ProcCounters{static_cast<int64_t>(line->startTime), line->cpuTicks, line->rssPages};
}

}  // namespace PortCore

ProcStatReader::ProcStatReader(std::string root)
    : ProcStatReader(std::move(root), ::sysconf(_SC_CLK_TCK), ::sysconf(_SC_PAGESIZE)) {}

ProcStatReader::ProcStatReader(std::string root, int64_t ticksPerSecond, int64_t pageSize)
    : root_(root), ticksPerSecond_(ticksPerSecond > 0 ? ticksPerSecond : 100), pageSize_(pageSize) {}

std::optional<ProcCounters> ProcStatReader::counters(int32_t pid) const {
  return PortCore::parseProcCounters(root_.read(std::to_string(pid) + "/stat"));
}

std::optional<double> ProcStatReader::uptimeSeconds() const {
  std::string text = root_.read("uptime");
  auto fields = PortCore::splitNonEmpty(PortCore::trimWhitespace(text), ' ');
  if (fields.empty()) return std::nullopt;
  return PortCore::parseDecimal(fields[0]);
}
