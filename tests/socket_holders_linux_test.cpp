// The socket holder finder over /proc trees in a temporary directory.
#include "core/scan/socket_holders.h"
#include "core/system/unique_fd.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

using Holders = std::vector<SocketHolder>;
namespace fs = std::filesystem;

// Processes with a stat line (none: the process went while it was looked at)
// and descriptors that link to socket inodes.
struct ProcTree {
  explicit ProcTree(SocketHolderFinder::Visibility visibility) : finder(visibility) {}
  std::string add(int32_t pid, std::optional<int32_t> ppid, const std::map<int32_t, uint64_t>& sockets) {
    const std::string name = std::to_string(pid), dir = tree.path() + "/" + name;
    if (ppid)
      tree.write(name + "/stat", name + " (p" + name + ") S " + std::to_string(*ppid) +
                                     " 0 0 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 " + name + " 0 0\n");
    fs::create_directories(dir + "/fd");
    for (const auto& [fd, inode] : sockets)
      fs::create_symlink("socket:[" + std::to_string(inode) + "]", dir + "/fd/" + std::to_string(fd));
    return dir;
  }
  SocketHolderFinder::Result find(const InodeSet& listening) { return finder.find(root.get(), listening); }

  TempDir tree;
  PortCore::UniqueFd root{::open(tree.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  SocketHolderFinder finder;
};

// Only one user's processes are visible: another user's, or one whose record
// cannot be read, holds nothing, also when it changed owner since the last
// scan. A holder's ancestors are read with it. After forget() the next scan
// walks everything.
TEST(SocketHolderFinder, KeepsOnlyVisibleProcessesWithARecord) {
  SKIP_UNLESS_ROOT("giving a process of the tree to another user needs root");
  ProcTree procs({.onlyUid = ::geteuid()});
  procs.add(5, 1, {});
  const std::string holder = procs.add(10, 5, {{3, 501}});
  ASSERT_EQ(::chown(procs.add(20, 1, {{4, 502}}).c_str(), 65534, 65534), 0);
  procs.add(30, std::nullopt, {{5, 503}});
  const InodeSet listening{501, 502, 503};

  auto first = procs.find(listening);
  EXPECT_EQ(first.holders, (Holders{{10, 3, 501}}));
  EXPECT_EQ(first.ancestors.count(5), 1u);
  procs.finder.forget();
  EXPECT_EQ(procs.find({501}).walk, SocketHolderFinder::Walk::Full);
  ASSERT_EQ(::chown(holder.c_str(), 65534, 65534), 0);
  auto second = procs.find({501});
  EXPECT_EQ(second.walk, SocketHolderFinder::Walk::Incremental);
  EXPECT_EQ(second.holders, Holders{});
}

// A new process holding a socket that newly listens may have inherited it
// from a parent that was already running: the parent is walked too. The climb
// stops at init, whose descriptors only a full walk reads, and at a process
// whose record cannot be read.
TEST(SocketHolderFinder, WalksTheParentOfANewHolderButNotInit) {
  ProcTree procs({});
  procs.add(1, 0, {{7, 600}, {8, 601}});
  procs.add(20, 1, {{5, 600}});
  EXPECT_EQ(procs.find({}).holders, Holders{});
  procs.add(30, 20, {{3, 600}});
  procs.add(40, 1, {{3, 601}});
  procs.add(50, std::nullopt, {{3, 600}});
  auto found = procs.find({600, 601});
  EXPECT_EQ(found.walk, SocketHolderFinder::Walk::Incremental);
  EXPECT_EQ(found.holders, (Holders{{20, 5, 600}, {30, 3, 600}, {40, 3, 601}}));
}

}  // namespace
