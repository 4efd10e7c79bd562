#pragma once
// Narrow reads of a /proc tree through an open directory descriptor: no path
// strings rebuilt per call, no std::filesystem, no streams. Everything here is
// on the scan's hot path.
#include "core/system/unique_fd.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ProcFiles {

/// Opens `path` (relative to `at`, or absolute) as a directory; invalid when
/// it could not be opened (gone, or not ours to read).
PortCore::UniqueFd openDir(int at, const char* path);

/// A numeric entry of a directory: a PID under /proc, a descriptor under fd/.
struct NumericEntry {
  int32_t number = 0;
  uint64_t inode = 0;  ///< d_ino: for /proc/PID it changes when the PID is reused
};

/// The entries of `dir` whose names are decimal numbers, in directory order
/// (ascending for /proc and its fd directories, not so elsewhere). Reads from
/// the current offset.
std::vector<NumericEntry> numericEntries(int dir);
/// The same into `entries` (cleared first), so a walk can reuse one buffer.
void numericEntries(int dir, std::vector<NumericEntry>& entries);

/// The whole of a small file, or empty when it cannot be read or holds more
/// than `limit` bytes.
std::string readFile(int at, const char* path, size_t limit = SIZE_MAX);

/// The target of a symbolic link, at most `limit` bytes; empty when it cannot
/// be read. `error` receives errno on failure (0 on success).
std::string readLink(int at, const char* path, size_t limit, int* error = nullptr);

/// The socket inode of a "socket:[N]" link target, or 0 for anything else.
uint64_t socketInode(std::string_view linkTarget);

/// Owner of `path` relative to `at`, or -1 when it cannot be looked at.
int64_t ownerUid(int at, const char* path);

}  // namespace ProcFiles
