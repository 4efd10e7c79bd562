// A listener whose working directory is on a FUSE file system that never
// answers, as a stale network mount does: the command line still lists and
// kills within its bounds.
#include "core/records/port_entry.h"
#include "core/system/mount_table.h"
#include "core/system/unique_fd.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A FUSE mount whose server never reads a request: every lookup in it waits.
// Going away, it aborts the connection, which fails whatever still waits, and
// detaches the mount, so nothing that walks the folder later hangs.
class DeadMount {
 public:
  explicit DeadMount(const std::string& point) : point_(point) {
    device_ = PortCore::UniqueFd(::open("/dev/fuse", O_RDWR | O_CLOEXEC));
    if (!device_.valid()) return;
    std::string options = "fd=" + std::to_string(device_.get()) + ",rootmode=40000,user_id=0,group_id=0";
    mounted_ = ::mount("tarnwick-test", point.c_str(), "fuse", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    // A stat of the mount would wait on it: its device is read from the table.
    for (const auto& mount : PortCore::readMountTable())
      if (mounted_ && mount.mountPoint == point) connection_ = mount.fileSystem.substr(mount.fileSystem.find(':') + 1);
  }
  ~DeadMount() {
    // The control file is there when the fusectl file system is mounted;
    // closing the device aborts the connection either way.
    std::string abort = "/sys/fs/fuse/connections/" + connection_ + "/abort";
    if (PortCore::UniqueFd control(::open(abort.c_str(), O_WRONLY | O_CLOEXEC)); control.valid())
      (void)!::write(control.get(), "1", 1);
    device_ = PortCore::UniqueFd();
    if (mounted_) ::umount2(point_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  std::string point_;
  PortCore::UniqueFd device_;
  bool mounted_ = false;
  std::string connection_ = "none";
};

TEST(DeadMountSerial, ListAndKillDoNotWaitOnIt) {
  SKIP_UNLESS_ROOT("mounting FUSE needs root");
  TempDir dir;
  std::filesystem::create_directory(dir.path() + "/dead-mount");
  auto folder = std::filesystem::canonical(dir.path() + "/dead-mount").string();
  // Its working directory is the folder the mount then covers: its path leads
  // into the mount, yet starting it asked the mount nothing.
  auto inFolder = startListener({"--bind", "127.0.0.1:0", "--chdir", folder});
  std::vector<int> ports;
  auto other = startListener({"--bind", "127.0.0.1:0"}, &ports);
  DeadMount mount(folder);
  ASSERT_TRUE(mount.mounted()) << "/dev/fuse: " << std::strerror(errno);

  auto started = std::chrono::steady_clock::now();
  // A sanitizer's leak check at exit stops every thread, and one waiting on
  // this mount never stops: that would hang the check, not the scan.
  auto list = TestProcess::start({tarnwickPath(), "--list"}, {{}, {"ASAN_OPTIONS=detect_leaks=0"}});
  auto line = list.readLine(5s);
  ASSERT_TRUE(list.waitForExit(5s));
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
  auto entries = decodePortEntries(line.value_or(""));
  ASSERT_TRUE(entries);
  auto listed = std::find_if(entries->begin(), entries->end(), [&](const PortEntry& e) { return e.pid == inFolder.pid(); });
  ASSERT_NE(listed, entries->end());
  EXPECT_EQ(listed->cwd, folder);
  EXPECT_EQ(listed->project, "dead-mount");

  auto kill = TestProcess::start({tarnwickPath(), "--kill", std::to_string(ports.at(0))});
  EXPECT_TRUE(kill.waitForExit(5s));
  EXPECT_TRUE(other.waitForExit(5s)) << "the other port's holder was stopped";
}

}  // namespace
