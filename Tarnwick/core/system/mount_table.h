#pragma once
// Which file system a folder is on, found without asking that file system:
// the mount table is the kernel's own record, and reading it never reaches a
// mount that has stopped answering.
#include <string>
#include <string_view>
#include <vector>

namespace PortCore {

struct Mount {
  std::string mountPoint;  ///< unescaped, absolute
  std::string fileSystem;  ///< what tells file systems apart: "major:minor" on Linux
  bool operator==(const Mount&) const = default;
};

/// The mounts listed in the text of /proc/self/mountinfo (Linux), in its order (a
/// later mount on the same point hides an earlier one). Lines that do not
/// parse are skipped.
std::vector<Mount> parseMountInfo(std::string_view text);

/// The file system of the mount with the longest mount point holding the
/// absolute path `path` (by whole path components; of equal mount points the
/// later). Empty when no mount holds it.
std::string fileSystemOf(const std::vector<Mount>& mounts, std::string_view path);

/// This process's mounts; empty when they cannot be read.
std::vector<Mount> readMountTable();

}  // namespace PortCore
