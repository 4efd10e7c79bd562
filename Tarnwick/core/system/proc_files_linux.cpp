#include "core/system/proc_files.h"

#include "core/system/number.h"
#include "core/system/small_file.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace ProcFiles {

PortCore::UniqueFd openDir(int at, const char* path) {
  return PortCore::UniqueFd(::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

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

std::string readFile(int at, const char* path, size_t limit) {
  PortCore::UniqueFd file(::openat(at, path, O_RDONLY | O_CLOEXEC));
  if (!file.valid()) return {};
  return PortCore::readToEnd(file.get(), limit).value_or("");
}

std::string readLink(int at, const char* path, size_t limit, int* error) {
  std::string target(limit, '\0');
  ssize_t n = ::readlinkat(at, path, target.data(), limit);
  if (error) *error = n < 0 ? errno : 0;
  target.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return target;
}

uint64_t socketInode(std::string_view linkTarget) {
  constexpr std::string_view prefix = "socket:[";
  if (linkTarget.size() < prefix.size() + 2 || linkTarget.substr(0, prefix.size()) != prefix ||
      linkTarget.back() != ']')
    return 0;
  return PortCore::parseUint64(linkTarget.substr(prefix.size(), linkTarget.size() - prefix.size() - 1)).value_or(0);
}

int64_t ownerUid(int at, const char* path) {
  struct stat st;
  if (::fstatat(at, path, &st, 0) != 0) return -1;
  return st.st_uid;
}

}  // namespace ProcFiles
