#include "core/system/proc_stat_line.h"

#include "core/system/number.h"

#include <array>

namespace PortCore {

namespace {

// Field numbers of proc(5), counted from 1 with the PID; the text after the
// last ")" starts at field 3 (the state).
constexpr size_t kFirstFieldAfterComm = 3;
constexpr size_t kPpid = 4, kUtime = 14, kStime = 15, kStartTime = 22, kRss = 24;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::optional<ProcStatLine> parseProcStatLine(std::string_view stat) {
  auto open = stat.find('(');
  auto close = stat.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return std::nullopt;
  // One pass over the fields up to the last one read, without allocating:
  // the scan parses the stat of every process.
  std::array<std::string_view, kRss - kFirstFieldAfterComm + 1> fields;
  size_t count = 0;
  for (size_t at = close + 1; count < fields.size();) {
    while (at < stat.size() && isBlank(stat[at])) ++at;
    if (at == stat.size()) return std::nullopt;
    size_t end = at;
    while (end < stat.size() && !isBlank(stat[end])) ++end;
    fields[count++] = stat.substr(at, end - at);
    at = end;
  }
  auto field = [&](size_t number) { return fields[number - kFirstFieldAfterComm]; };
  auto ppid = parseInt32(field(kPpid));
  auto start = parseUint64(field(kStartTime));
  auto utime = parseInt64(field(kUtime)), stime = parseInt64(field(kStime)), rss = parseInt64(field(kRss));
  if (!ppid || !start || !utime || !stime || !rss) return std::nullopt;
  return ProcStatLine{stat.substr(open + 1, close - open - 1), *ppid, *start, *utime + *stime, *rss};
}

}  // namespace PortCore
