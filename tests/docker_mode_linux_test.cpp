// `tarnwick --docker` against docker clients that misbehave, each bind-mounted
// over /usr/local/bin inside a mount namespace of its own.
#include "integrations/docker.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <cstdlib>
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

// The deadline is the client's own test and what the runner leaves behind the
// runner's; here, that a client flooding its output costs no more than a bounded
// amount of memory within the deadline.
TEST(DockerMode, AFloodingClientCountsAsNoContainersInBoundedMemory) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root for a mount namespace";
  if (!std::filesystem::is_directory("/usr/local/bin") || !std::filesystem::exists("/usr/bin/unshare"))
    GTEST_SKIP() << "needs /usr/local/bin and unshare";
  TempDir dir;
  // The stand-in records its PID, and goes whatever happens below.
  struct StandIn {
    std::string marker;
    pid_t pid() const { return std::atoi(readFile(marker).c_str()); }
    ~StandIn() { if (pid() > 1) ::kill(pid(), SIGKILL); }
  } standIn{dir.path() + "/ran"};
  std::string client = dir.write("bin/docker", "#!/bin/sh\necho $$ > '" + standIn.marker + "'\nexec yes\n");
  std::filesystem::permissions(client, std::filesystem::perms::owner_all);

  auto tarnwick = TestProcess::start({"/usr/bin/unshare", "--mount", "/bin/sh", "-c",
                                      "mount --bind '" + dir.path() + "/bin' /usr/local/bin && exec '" +
                                          tarnwickPath() + "' --docker"});
  rusage usage{};
  int status = -1;
  ASSERT_TRUE(waitUntil([&] { return ::wait4(tarnwick.pid(), &status, WNOHANG, &usage) == tarnwick.pid(); },
                        Docker::kPsDeadline + 1s));
  EXPECT_EQ(status, 0);
  EXPECT_LT(usage.ru_maxrss, kPeakRssBoundKiB) << "peak RSS in KiB";
  EXPECT_EQ(tarnwick.readLine(1s), std::nullopt);
  ASSERT_GT(standIn.pid(), 1) << "the stand-in never ran";
  EXPECT_TRUE(waitUntil([&] { return !processAlive(standIn.pid()); }, 2s)) << "left running";
}

}  // namespace
