#include "integrations/docker.h"

#include "core/tool_runner.h"
#include "support/fake_tool_runner.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <future>

namespace {

using namespace std::chrono_literals;

TEST(DockerParse, PortsColumnForms) {
  struct Case {
    const char* name;
    const char* output;
    ContainerMap expected;
  };
  const Case cases[] = {
      {"IPv4 and IPv6 of one port", "db-1\t0.0.0.0:5432->5432/tcp, :::5432->5432/tcp\n", {{5432, "db-1"}}},
      {"bracketed IPv6", "web\t[::]:8080->80/tcp\n", {{8080, "web"}}},
      {"one interface", "web\t127.0.0.1:8080->80/tcp\n", {{8080, "web"}}},
      {"several ports", "app\t0.0.0.0:3000->3000/tcp, 0.0.0.0:9229->9229/tcp\n", {{3000, "app"}, {9229, "app"}}},
      {"UDP", "dns\t0.0.0.0:5353->53/udp\n", {{5353, "dns"}}},
      {"range", "app\t0.0.0.0:8000-8005->8000-8005/tcp\n", {}},
      {"exposed only", "db\t5432/tcp\n", {}},
      {"exposed beside published", "db\t5432/tcp, 0.0.0.0:6543->5432/tcp\n", {{6543, "db"}}},
      {"no ports", "worker\t\nidle\n", {}},
      {"no host port", "odd\t0.0.0.0:->80/tcp, 0.0.0.0->80/tcp, x:80a->80/tcp\n", {}},
      {"later container wins",
       "first\t127.0.0.1:8080->80/tcp\nsecond\t127.0.0.2:8080->80/tcp\n",
       {{8080, "second"}}},
      {"name kept as is, tab only splits once", "my app\t0.0.0.0:1->1/tcp\tjunk\n", {{1, "my app"}}},
      {"empty lines and no tab", "\n\nnot a container line\n", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Docker::parseContainerPorts(c.output), c.expected) << c.name;
}

// A stand-in docker client: logs its arguments, prints the ports in OUTPUT.
class DockerClientFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    output = dir.write("output", "db-1\t0.0.0.0:5432->5432/tcp\n");
    log = dir.path() + "/log";
    client = dir.write("docker",
                       "#!/bin/sh\n"
                       "echo \"$*\" >> '" + log + "'\n"
                       "[ \"$1\" = stop ] && sleep 0.2 && echo stopped >> '" + log + "'\n"
                       "cat '" + output + "'\n");
    std::filesystem::permissions(client, std::filesystem::perms::owner_all);
  }
  std::vector<std::string> runs() const {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  ContainerMap fetch() { return Docker::containerPorts({client, runner}, cache, clock); }

  TempDir dir;
  std::string output, log, client;
  RealToolRunner runner;
  Docker::PortCache cache;
  ManualClock clock;
};

TEST_F(DockerClientFixture, CachesForThirtySeconds) {
  const ContainerMap db{{5432, "db-1"}};
  EXPECT_EQ(fetch(), db);
  EXPECT_EQ(runs(), (std::vector<std::string>{"ps --format {{.Names}}\t{{.Ports}}"}));

  dir.write("output", "");  // the container went away
  clock.advance(29'999ms);
  EXPECT_EQ(fetch(), db);
  EXPECT_EQ(runs().size(), 1u);

  clock.advance(1ms);
  EXPECT_EQ(fetch(), ContainerMap{});
  EXPECT_EQ(runs().size(), 2u);

  clock.advance(10s);  // an empty map is cached too
  EXPECT_EQ(fetch(), ContainerMap{});
  EXPECT_EQ(runs().size(), 2u);
}

TEST_F(DockerClientFixture, StopWaitsForTheClient) {
  Docker::stop({client, runner}, "db-1");
  EXPECT_EQ(runs(), (std::vector<std::string>{"stop db-1", "stopped"}));
}

// Stop waits out the container's grace period, ps does not; without a client
// nothing runs.
TEST(DockerClient, DeadlinesAndAMissingClient) {
  const std::pair<std::optional<std::string>, std::vector<ToolLimits>> cases[] = {
      {"/usr/bin/docker", {{.deadline = 5s}, {.deadline = 30s}}}, {std::nullopt, {}}};
  for (const auto& [path, expected] : cases) {
    FakeToolRunner runner;
    Docker::fetchContainerPorts({path, runner});
    Docker::stop({path, runner}, "db-1");
    std::vector<ToolLimits> limits;
    for (const auto& call : runner.calls()) limits.push_back(call.limits);
    EXPECT_EQ(limits, expected) << path.value_or("no client");
  }
}

// A docker client that answers only once released.
class HeldToolRunner final : public ToolRunner {
 public:
  using ToolRunner::run;
  std::string run(const std::string&, const std::vector<std::string>&, const ToolLimits&) override {
    std::unique_lock lock(mutex_);
    ++runs_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return released_; });
    return "db-2\t0.0.0.0:5433->5432/tcp\n";
  }
  bool waitForRun() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [this] { return runs_ > 0; });
  }
  void release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  int runs() {
    std::lock_guard lock(mutex_);
    return runs_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int runs_ = 0;
  bool released_ = false;
};

TEST(DockerClient, WhileOneFetchRunsOthersGetTheLastMapAtOnce) {
  struct Case {
    const char* name;
    std::optional<ContainerMap> stale;
  };
  const Case cases[] = {{"stale map", ContainerMap{{5432, "db-1"}}}, {"nothing fetched yet", std::nullopt}};
  for (const auto& c : cases) {
    HeldToolRunner runner;
    Docker::Client client{"/usr/bin/docker", runner};
    Docker::PortCache cache;
    ManualClock clock;
    if (c.stale) cache.store(*c.stale, clock.now());
    clock.advance(Docker::PortCache::kTimeToLive);

    auto first = std::async(std::launch::async, [&] { return Docker::containerPorts(client, cache, clock); });
    EXPECT_TRUE(runner.waitForRun()) << c.name;
    auto second = std::async(std::launch::async, [&] { return Docker::containerPorts(client, cache, clock); });
    bool secondReturned = second.wait_for(5s) == std::future_status::ready;
    runner.release();
    EXPECT_TRUE(secondReturned) << c.name;
    EXPECT_EQ(second.get(), c.stale.value_or(ContainerMap{})) << c.name;

    const ContainerMap fetched{{5433, "db-2"}};
    EXPECT_EQ(first.get(), fetched) << c.name;
    EXPECT_EQ(Docker::containerPorts(client, cache, clock), fetched) << c.name;
    EXPECT_EQ(runner.runs(), 1) << c.name;
  }
}

TEST(DockerClient, FirstExecutableCandidateWins) {
  TempDir dir;
  std::string plain = dir.write("plain/docker", "");
  std::string executable = dir.write("bin/docker", "#!/bin/sh\n");
  std::filesystem::permissions(executable, std::filesystem::perms::owner_all);
  std::filesystem::create_directories(dir.path() + "/folder/docker");
  std::string missing = dir.path() + "/none/docker", folder = dir.path() + "/folder/docker";
  EXPECT_EQ(Docker::findClient({missing, plain, folder, executable}), executable);
  EXPECT_EQ(Docker::findClient({missing, plain, folder}), std::nullopt);
}

}  // namespace
