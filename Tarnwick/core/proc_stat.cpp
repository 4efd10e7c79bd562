#include "core/proc_stat.h"

#include "core/number.h"
#include "core/proc_stat_line.h"
#include "core/text.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// Not ProcFiles::readFile: this file is built on every platform, that one
// only on Linux.
std::string readSmallFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  return text;
}

}  // namespace

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
    : root_(std::move(root)), ticksPerSecond_(ticksPerSecond > 0 ? ticksPerSecond : 100), pageSize_(pageSize) {}

std::optional<ProcCounters> ProcStatReader::counters(int32_t pid) const {
  return PortCore::parseProcCounters(readSmallFile(root_ + "/" + std::to_string(pid) + "/stat"));
}

std::optional<double> ProcStatReader::uptimeSeconds() const {
  std::string text = readSmallFile(root_ + "/uptime");
  auto fields = PortCore::splitNonEmpty(PortCore::trimWhitespace(text), ' ');
  if (fields.empty()) return std::nullopt;
  return PortCore::parseDecimal(fields[0]);
}
