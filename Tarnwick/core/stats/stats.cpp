#include "core/stats/stats.h"

#include "core/stats/cpu_history.h"
#include "core/stats/proc_stat.h"
#include "core/system/number.h"
#include "core/system/text.h"
#include "core/system/program_paths.h"
#include "core/system/tool_runner.h"

#include <charconv>
#include <optional>
#include <set>

namespace PortCore {

namespace {

constexpr int64_t kKiBPerMB = 1024;

// ps's own pcpu: CPU time over the time since the process started.
double lifetimePercent(const ProcCounters& counters, std::optional<double> uptime, int64_t ticksPerSecond) {
  if (!uptime) return 0;
  double ticks = static_cast<double>(ticksPerSecond);
  double alive = *uptime - static_cast<double>(counters.startTicks) / ticks;
  if (alive <= 0) return 0;
  return 100.0 * (static_cast<double>(counters.cpuTicks) / ticks) / alive;
}

}  // namespace

StatsMap stats(const std::vector<int32_t>& pids, const ProcStatsSeams& sources) {
  StatsMap result;
  if (pids.empty()) return result;
  const Clock::Duration now = sources.clock.now();
  const std::optional<double> uptime = sources.proc.uptimeSeconds();
  const int64_t ticksPerSecond = sources.proc.ticksPerSecond();
  for (int32_t pid : std::set<int32_t>(pids.begin(), pids.end())) {
    auto counters = sources.proc.counters(pid);
    if (!counters) continue;
    auto current = sources.history.record(pid, counters->startTicks, counters->cpuTicks, now, ticksPerSecond);
    int64_t kib = counters->rssPages * sources.proc.pageSize() / 1024;
    result[pid] = {current ? *current : lifetimePercent(*counters, uptime, ticksPerSecond), kib / kKiBPerMB};
  }
  sources.history.forgetStale(now);
  return result;
}

StatsMap stats(const std::vector<int32_t>& pids, ToolRunner& runner) {
  if (pids.empty()) return {};
  std::string list;
  for (int32_t pid : pids) list += (list.empty() ? "" : ",") + std::to_string(pid);
  return parsePsStats(runner.run(ToolPaths::ps, {"-o", "pid=,pcpu=,rss=", "-p", list}));
}

StatsMap parsePsStats(std::string_view output) {
  StatsMap result;
  for (std::string_view line : splitLines(output)) {
    auto fields = splitNonEmpty(line, ' ');
    if (fields.size() != 3) continue;
    auto pid = parseInt32(fields[0]);
    auto cpu = parseDecimal(fields[1]);
    auto kib = parseInt64(fields[2]);
    if (!pid || !cpu || !kib) continue;
    result[*pid] = {*cpu, *kib / kKiBPerMB};
  }
  return result;
}

std::string formatMem(int64_t mb) {
  if (mb < kKiBPerMB) return std::to_string(mb) + " MB";
  // to_chars, not printf: the application sets the user's locale, and a
  // Turkish one would print a decimal comma.
  char text[32];
  auto end = std::to_chars(text, text + sizeof text, static_cast<double>(mb) / 1024.0, std::chars_format::fixed, 1).ptr;
  return std::string(text, end) + " GB";
}

}  // namespace PortCore
