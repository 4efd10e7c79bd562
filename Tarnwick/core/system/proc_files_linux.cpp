#include "core/system/proc_files.h"

#include "core/system/number.h"

#include <cstdint>
#include <sys/syscall.h>
#include <unistd.h>

namespace ProcFiles {

namespace {

// The layout getdents64 writes; glibc's readdir would add a heap-allocated
// DIR per directory, which a walk over thousands of fd directories feels.
struct LinuxDirent64 {
  uint64_t d_ino;
  int64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[1];
};

bool decimalName(const char* name, int32_t& value) {
  // A sign is no part of a PID's or descriptor's name.
  if (*name < '0' || *name > '9') return false;
  auto number = PortCore::parseInt32(name);
  if (number) value = *number;
  return number.has_value();
}

}  // namespace

std::vector<NumericEntry> numericEntries(int dir) {
  std::vector<NumericEntry> entries;
  numericEntries(dir, entries);
  return entries;
}

void numericEntries(int dir, std::vector<NumericEntry>& entries) {
  entries.clear();
  alignas(8) char buffer[32768];
  for (;;) {
    long n = ::syscall(SYS_getdents64, dir, buffer, sizeof buffer);
    if (n <= 0) break;
    for (long offset = 0; offset < n;) {
      auto* entry = reinterpret_cast<LinuxDirent64*>(buffer + offset);
      offset += entry->d_reclen;
      int32_t number;
      if (decimalName(entry->d_name, number)) entries.push_back({number, entry->d_ino});
    }
  }
}

}  // namespace ProcFiles
