#include "core/stat_facts.h"

#include "core/number.h"
#include "core/proc_files.h"

#include <cstdio>

namespace PortCore {

namespace {

// The `index`th space-separated field of `text` (0 first).
std::string_view field(std::string_view text, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    start = text.find(' ', start);
    if (start == std::string_view::npos) return {};
    ++start;
  }
  return text.substr(start, text.find(' ', start) - start);
}

std::optional<uint64_t> unsignedNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

}  // namespace

std::optional<StatFacts> parseProcStat(std::string_view stat) {
  auto open = stat.find('(');
  auto close = stat.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open ||
      close + 2 > stat.size())
    return std::nullopt;
  // After ") ": state ppid pgrp session tty_nr tpgid flags minflt cminflt majflt
  // cmajflt utime stime cutime cstime priority nice num_threads itrealvalue starttime
  auto rest = stat.substr(close + 2);
  auto ppid = parseInt32(field(rest, 1));
  auto start = unsignedNumber(field(rest, 19));
  if (!ppid || !start) return std::nullopt;
  return StatFacts{std::string(stat.substr(open + 1, close - open - 1)), *ppid, *start, -1};
}

std::optional<StatFacts> readProcessFacts(int root, int32_t pid) {
  char path[32];
  std::snprintf(path, sizeof path, "%d/stat", static_cast<int>(pid));
  auto facts = parseProcStat(ProcFiles::readFile(root, path));
  if (!facts) return std::nullopt;
  std::snprintf(path, sizeof path, "%d", static_cast<int>(pid));
  facts->uid = ProcFiles::ownerUid(root, path);
  if (facts->uid < 0) return std::nullopt;
  return facts;
}

}  // namespace PortCore
