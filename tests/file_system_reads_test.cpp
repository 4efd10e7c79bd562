#include "core/system/file_system_reads.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Contents = std::vector<std::optional<std::string>>;

// A file system that never answers until released. Shared with the readers,
// which may outlive the test's frame.
struct Gate {
  std::mutex mutex;
  std::condition_variable opened;
  bool open = false;
  int reads = 0;
  void release() {
    std::lock_guard lock(mutex);
    open = true;
    opened.notify_all();
  }
};

TEST(FileSystemReads, GivesUpADeadFileSystemAndWaitsForASlowOne) {
  auto gate = std::make_shared<Gate>();
  auto read = [gate](const std::string& path) -> std::optional<std::string> {
    if (path.starts_with("/slow/")) std::this_thread::sleep_for(PortCore::kFileSystemAnswerBound * 6 / 10);
    if (path.starts_with("/dead/")) {
      std::unique_lock lock(gate->mutex);
      ++gate->reads;
      gate->opened.wait(lock, [&] { return gate->open; });
    }
    if (path.ends_with("/none")) return std::nullopt;
    return "content of " + path;
  };
  auto mounts = [] { return std::vector<PortCore::Mount>{{"/", "0:1"}, {"/dead", "0:2"}, {"/slow", "0:3"}}; };
  PortCore::FileSystemReads reads(read, mounts);
  // Whatever fails below, the dead reader is let go.
  std::shared_ptr<void> releaseAtEnd(nullptr, [gate](void*) { gate->release(); });

  auto started = std::chrono::steady_clock::now();
  auto first = reads.readAll({"/dead/a/package.json", "/slow/1", "/slow/2", "/slow/3", "/live/x", "/live/none",
                              "/dead/b/package.json"});
  auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(first, (Contents{std::nullopt, "content of /slow/1", "content of /slow/2", "content of /slow/3",
                             "content of /live/x", std::nullopt, std::nullopt}));
  EXPECT_GE(elapsed, PortCore::kFileSystemAnswerBound * 18 / 10) << "a file system that keeps answering is waited for";
  EXPECT_LT(elapsed, 5s);

  // The dead file system's read is still out: nothing more is asked of it, and
  // a round whose readers have all answered ends without waiting out the bound.
  started = std::chrono::steady_clock::now();
  EXPECT_EQ(reads.readAll({"/dead/c", "/live/y"}), (Contents{std::nullopt, "content of /live/y"}));
  EXPECT_LT(std::chrono::steady_clock::now() - started, PortCore::kFileSystemAnswerBound);
  std::unique_lock counted(gate->mutex);
  EXPECT_EQ(gate->reads, 1);
  counted.unlock();

  gate->release();
  EXPECT_TRUE(waitUntil([&] { return reads.readAll({"/dead/d"}) == Contents{"content of /dead/d"}; }))
      << "live again once its read returned";
}

}  // namespace
