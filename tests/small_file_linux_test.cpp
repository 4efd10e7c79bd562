// Project files are opened as files: nothing but a regular file is ever
// opened for reading, whatever the name links to.
#include "core/scan/project_name.h"
#include "core/system/small_file.h"
#include "core/system/unique_fd.h"

#include "support/property.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(SmallFile, OpensNothingButARegularFile) {
  // How package.json is made in `project` beside `elsewhere`; the name expected.
  const std::tuple<const char*, std::function<void(const std::string&, const std::string&)>, const char*> cases[] = {
      {"linked file", [](const std::string& project, const std::string& elsewhere) {
         std::filesystem::create_symlink(elsewhere, project + "/package.json");
         PortCore::UniqueFd file(::open(elsewhere.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
         ASSERT_EQ(::write(file.get(), R"({"name":"shop"})", 15), 15);
       }, "shop"},
      {"linked FIFO", [](const std::string& project, const std::string& elsewhere) {
         ASSERT_EQ(::mkfifo(elsewhere.c_str(), 0600), 0);
         std::filesystem::create_symlink(elsewhere, project + "/package.json");
       }, "my project"},
  };
  for (const auto& [label, make, expected] : cases) {
    TempDir dir;
    std::string project = dir.path() + "/my project", elsewhere = dir.path() + "/target";
    std::filesystem::create_directory(project);
    make(project, elsewhere);
    PortCore::UniqueFd watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    ASSERT_GE(::inotify_add_watch(watch.get(), elsewhere.c_str(), IN_OPEN), 0) << label;
    EXPECT_EQ(PortCore::projectName(project), expected) << label;

    struct stat info{};
    ASSERT_EQ(::stat(elsewhere.c_str(), &info), 0);
    char events[256];
    bool opened = ::read(watch.get(), events, sizeof events) > 0;
    EXPECT_EQ(opened, S_ISREG(info.st_mode)) << label << ": only a regular file is opened";
  }
}

// Whatever pieces a file's content arrives in (a pipe's writer here), all of
// it is read, up to the limit and not a byte past it.
TEST(SmallFile, ReadsToTheEndThroughShortReadsUpToTheLimit) {
  checkProperty([] {
    const auto size = *rc::gen::inRange<size_t>(0, 40000), piece = *rc::gen::inRange<size_t>(1, 6000);
    const size_t limit = size + *rc::gen::inRange(0, 3) - std::min<size_t>(size, 1);  // one below, at, one above
    std::string content(size, '\0');
    for (size_t i = 0; i < size; ++i) content[i] = static_cast<char>(i * 31 + i / 256);
    int fds[2];
    RC_ASSERT(::pipe(fds) == 0);  // holds 64 KiB: the writer never waits on a reader that stopped
    std::thread writer([&] {
      for (size_t at = 0; at < size; at += piece)
        if (::write(fds[1], content.data() + at, std::min(piece, size - at)) < 0) break;
      ::close(fds[1]);
    });
    const auto read = PortCore::readToEnd(fds[0], limit);
    writer.join();
    ::close(fds[0]);
    RC_ASSERT(read == (size <= limit ? std::optional(content) : std::nullopt));
  }, 150);
}

// Both ends close on exec; O_NONBLOCK lies on the ends asked for.
TEST(Pipe, EndsCarryTheFlagsAskedFor) {
  using PortCore::NonBlocking;
  const std::tuple<NonBlocking, bool, bool> cases[] = {
      {NonBlocking::None, false, false},
      {NonBlocking::ReadEnd, true, false},
      {NonBlocking::BothEnds, true, true},
  };
  for (const auto& [nonBlocking, readEnd, writeEnd] : cases) {
    auto pipe = PortCore::openPipe(nonBlocking);
    ASSERT_TRUE(pipe);
    for (const auto& [fd, expected] : {std::pair(pipe->read.get(), readEnd), std::pair(pipe->write.get(), writeEnd)}) {
      EXPECT_EQ((::fcntl(fd, F_GETFL) & O_NONBLOCK) != 0, expected) << static_cast<int>(nonBlocking);
      EXPECT_EQ(::fcntl(fd, F_GETFD), FD_CLOEXEC);
    }
  }
}

}  // namespace
