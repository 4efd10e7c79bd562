#pragma once
// Reads of small files that never wait long on a file system that has stopped
// answering (a stale network or FUSE mount): each file system is read by a
// thread of its own that nobody joins, and one that has not answered in time
// is passed over until its read returns.
#include "core/system/mount_table.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace PortCore {

/// How long a file system may take over one read before it is given up for
/// the round. A file system that keeps answering within it is waited for.
inline constexpr std::chrono::milliseconds kFileSystemAnswerBound{200};

class FileSystemReads {
 public:
  using Read = std::function<std::optional<std::string>(const std::string& path)>;
  using MountTable = std::function<std::vector<Mount>()>;

  /// The real files (readSmallFile) and mount table.
  FileSystemReads();
  /// Reads through `read`, telling file systems apart by `mounts`.
  FileSystemReads(Read read, MountTable mounts, std::chrono::milliseconds answerBound = kFileSystemAnswerBound);
  ~FileSystemReads();
  FileSystemReads(const FileSystemReads&) = delete;
  FileSystemReads& operator=(const FileSystemReads&) = delete;

  /// The content of each of `paths` (absolute), in order; absent where the
  /// read failed, where its file system was given up in this round, and for
  /// every path on a file system whose read from an earlier round has not
  /// returned. Calls take turns. Returns without waiting on a read left
  /// behind, and nothing ever waits for one (not the destructor either).
  std::vector<std::optional<std::string>> readAll(const std::vector<std::string>& paths);

 private:
  Read read_;
  MountTable mounts_;
  std::chrono::milliseconds answerBound_;
  std::mutex mutex_;  ///< one round at a time
  /// By file system: true while a reader from an earlier round is still out.
  std::unordered_map<std::string, std::shared_ptr<std::atomic<bool>>> outstanding_;
};

}  // namespace PortCore
