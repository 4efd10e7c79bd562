// Project files are opened as files: nothing but a regular file is ever
// opened for reading, whatever the name links to.
#include "core/scan/project_name.h"
#include "core/system/unique_fd.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/inotify.h>
#include <sys/stat.h>
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
      // Nobody reads this FIFO: a writer's non-blocking open fails with ENXIO.
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
    if (S_ISFIFO(info.st_mode)) {
      errno = 0;
      PortCore::UniqueFd writer(::open(elsewhere.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
      EXPECT_EQ(errno, ENXIO) << label << ": nothing holds the FIFO open";
    }
  }
}

}  // namespace
