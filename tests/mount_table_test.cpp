#include "core/system/mount_table.h"

#include <gtest/gtest.h>

namespace {

// Lines as this machine's /proc/self/mountinfo writes them.
constexpr const char* kMountInfo =
    "22 1 0:21 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "30 22 0:30 / /mnt/a rw - fuse.sshfs host:/ rw\n"
    "31 22 0:31 / /mnt/a\\040b rw - nfs srv:/x rw\n"
    "32 22 0:21 /srv/shop /home/me/shop rw - ext4 /dev/vda rw\n"
    "33 30 0:33 / /mnt/a/inner rw - tmpfs tmpfs rw\n"
    "34 22 0:34 / /media rw - tmpfs tmpfs rw\n"
    "35 22 0:35 / /media rw - fuse.gone gone rw\n"
    "not a mount line\n"
    "36 22 0:36 / relative rw - tmpfs tmpfs rw\n"
    "37 22 0:37 / /mnt/c\\04x\\400 rw - tmpfs tmpfs rw\n";

TEST(MountTable, LongestMountPointHoldingTheFolderByWholeComponents) {
  auto mounts = PortCore::parseMountInfo(kMountInfo);
  ASSERT_EQ(mounts.size(), 8u) << "lines that do not parse are skipped";
  EXPECT_EQ(mounts[7].mountPoint, "/mnt/c\\04x\\400") << "no three octal digits, or past a byte: kept as written";
  const std::pair<const char*, const char*> cases[] = {
      {"/home/me/project", "0:21"},       // only the root holds it
      {"/", "0:21"},
      {"/mnt/a", "0:30"},                 // the mount point itself
      {"/mnt/a/site", "0:30"},
      {"/mnt/ab/site", "0:21"},           // /mnt/a does not hold /mnt/ab
      {"/mnt/a b/site", "0:31"},          // \040 is a space
      {"/mnt/a/inner/x", "0:33"},         // the longer of two holders
      {"/home/me/shop/web", "0:21"},      // a bind mount: the file system it shows
      {"/media/disk", "0:35"},            // mounted over: the later hides the earlier
  };
  for (const auto& [path, fileSystem] : cases) EXPECT_EQ(PortCore::fileSystemOf(mounts, path), fileSystem) << path;
  EXPECT_EQ(PortCore::fileSystemOf({}, "/x"), "") << "no mount table";
}

}  // namespace
