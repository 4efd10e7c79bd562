#pragma once
// Reading a /proc tree: the tree itself (ProcRoot), through which every reader
// of /proc goes, and the narrow reads relative to an open directory that the
// scan's walks use: no path strings rebuilt per call, no std::filesystem, no
// streams. Everything here is on the scan's hot path.
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

/// The most a read of a /proc file takes: a socket table of a few hundred
/// thousand rows stays under it.
inline constexpr size_t kFileLimit = 64 << 20;
/// The most a link target read from /proc takes.
inline constexpr size_t kLinkLimit = 4096;

/// The whole of a small file, or empty when it cannot be read or holds more
/// than `limit` bytes.
std::string readFile(int at, const char* path, size_t limit = kFileLimit);

/// The target of a symbolic link, at most `limit` bytes; empty when it cannot
/// be read. `error` receives errno on failure (0 on success).
std::string readLink(int at, const char* path, size_t limit, int* error = nullptr);

/// The socket inode of a "socket:[N]" link target, or 0 for anything else.
uint64_t socketInode(std::string_view linkTarget);

/// Owner of `path` relative to `at`, or -1 when it cannot be looked at.
int64_t ownerUid(int at, const char* path);

}  // namespace ProcFiles

/// A /proc tree opened once: the real one, or a fixture tree in tests. Files
/// are named relative to it ("PID/stat", "net/tcp", "self/mountinfo"). When
/// the tree cannot be opened (there is no /proc on macOS) every read is empty.
class ProcRoot {
 public:
  explicit ProcRoot(const std::string& path);
  bool valid() const { return dir_.valid(); }
  /// The open tree, for walks that read relative to it through ProcFiles.
  int fd() const { return dir_.get(); }
  /// ProcFiles::readFile of `relative`.
  std::string read(const std::string& relative, size_t limit = ProcFiles::kFileLimit) const;
  /// ProcFiles::readLink of `relative`.
  std::string readLink(const std::string& relative, size_t limit = ProcFiles::kLinkLimit,
                       int* error = nullptr) const;

 private:
  PortCore::UniqueFd dir_;
};

namespace PortCore {
/// The system's /proc, opened on first use.
const ProcRoot& systemProcRoot();
}  // namespace PortCore
