// `tarnwick --docker` against docker clients that misbehave, each bind-mounted
// over /usr/local/bin inside a mount namespace of its own.
#include "integrations/docker.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// AddressSanitizer's shadow memory alone takes more than the bound.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kPeakRssBoundKiB = 256 * 1024;
#else
constexpr long kPeakRssBoundKiB = 64 * 1024;
#endif

// True while a process of `group` exists and is no zombie.
bool groupHasLiveMember(pid_t group) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream in(entry.path() / "stat");
    std::string text;
    if (!std::getline(in, text)) continue;
    std::istringstream fields(text.substr(text.rfind(')') + 1));
    char state = 0;
    pid_t parent = 0, pgrp = 0;
    if (fields >> state >> parent >> pgrp && pgrp == group && state != 'Z') return true;
  }
  return false;
}

TEST(DockerMode, ClientThatHangsFloodsOrLeavesAChildCountsAsNoContainers) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root for a mount namespace";
  if (!std::filesystem::is_directory("/usr/local/bin") || !std::filesystem::exists("/usr/bin/unshare"))
    GTEST_SKIP() << "needs /usr/local/bin and unshare";
  struct Case {
    const char* name;
    const char* behaviour;
  };
  const Case cases[] = {
      {"hangs", "sleep 600"},
      {"floods for ever", "exec yes"},
      {"exits at once, its child holding the output", "sleep 600 &"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string marker = dir.path() + "/ran";
    std::string client = dir.write("bin/docker", "#!/bin/sh\necho $$ > '" + marker + "'\n" + c.behaviour + "\n");
    std::filesystem::permissions(client, std::filesystem::perms::owner_all);
    struct GroupGuard {
      const std::string& marker;
      pid_t group() const {
        pid_t pid = -1;
        std::ifstream(marker) >> pid;
        return pid;
      }
      ~GroupGuard() {
        if (group() > 1) ::kill(-group(), SIGKILL);
      }
    } standIn{marker};

    auto start = std::chrono::steady_clock::now();
    auto tarnwick = TestProcess::start({"/usr/bin/unshare", "--mount", "/bin/sh", "-c",
                                        "mount --bind '" + dir.path() + "/bin' /usr/local/bin && exec '" +
                                            tarnwickPath() + "' --docker"});
    rusage usage{};
    int status = -1;
    bool exited = waitUntil([&] { return ::wait4(tarnwick.pid(), &status, WNOHANG, &usage) == tarnwick.pid(); },
                            Docker::kPsDeadline + 1s);
    auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(exited) << c.name << ": still running after the deadline";
    EXPECT_LT(elapsed, Docker::kPsDeadline + 1s) << c.name;
    EXPECT_EQ(status, 0) << c.name;
    EXPECT_LT(usage.ru_maxrss, kPeakRssBoundKiB) << c.name << ": peak RSS in KiB";
    EXPECT_EQ(tarnwick.readLine(1s), std::nullopt) << c.name;
    ASSERT_GT(standIn.group(), 1) << c.name << ": the stand-in never ran";
    EXPECT_TRUE(waitUntil([&] { return !groupHasLiveMember(standIn.group()); }, 2s)) << c.name << ": left running";
  }
}

}  // namespace
