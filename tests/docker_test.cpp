#include "integrations/docker.h"

#include "support/fake_tool_runner.h"

#include <gtest/gtest.h>

#include <future>

namespace {

using namespace std::chrono_literals;

TEST(DockerParse, PortsColumnForms) {
  using P = std::vector<PublishedPort>;
  const std::pair<const char*, ContainerMap> cases[] = {
      // IPv4 and IPv6 of one port, in the older and the newer IPv6 form
      {"db-1\t0.0.0.0:5432->5432/tcp, :::5432->5432/tcp, [::]:5432->5432/tcp\n",
       {{5432, P{{"0.0.0.0", "db-1"}, {"::", "db-1"}, {"::", "db-1"}}}}},
      {"app\t0.0.0.0:3000->3000/tcp, 0.0.0.0:9229->9229/tcp\n",
       {{3000, P{{"0.0.0.0", "app"}}}, {9229, P{{"0.0.0.0", "app"}}}}},
      // Exposed only, a range, and a published port.
      {"db\t5432/tcp, 0.0.0.0:8000-8005->8000-8005/tcp, 0.0.0.0:6543->5432/tcp\n", {{6543, P{{"0.0.0.0", "db"}}}}},
      {"worker\t\nidle\n", {}}, {"odd\t0.0.0.0:->80/tcp, 0.0.0.0->80/tcp, x:80a->80/tcp\n", {}},  // no host port
      {"first\t127.0.0.1:8080->80/tcp\nsecond\t[::1]:8080->80/tcp\n",
       {{8080, P{{"127.0.0.1", "first"}, {"::1", "second"}}}}},
      {"my app\t0.0.0.0:1->1/tcp\tjunk\n", {{1, P{{"0.0.0.0", "my app"}}}}},  // the name as is; one tab splits
  };
  for (const auto& [output, expected] : cases) EXPECT_EQ(Docker::parseContainerPorts(output), expected) << output;
}

// The arguments and deadlines are the client's contract: `docker stop` waits out
// the container's grace period, `docker ps` must not hold a worker that long.
// A map is asked for again once it is thirty seconds old.
TEST(DockerClient, RefetchesAfterThirtySecondsAndStopsWithTheLongerDeadline) {
  FakeToolRunner runner;
  const std::string docker = "/usr/bin/docker";
  runner.outputs[docker] = "db-1\t0.0.0.0:5432->5432/tcp\n";
  Docker::Client client{docker, runner};
  Docker::PortCache cache;
  ManualClock clock;
  auto fetch = [&] { return Docker::containerPorts(client, cache, clock); };
  const ContainerMap db{{5432, {{"0.0.0.0", "db-1"}}}};
  EXPECT_EQ(fetch(), db);
  runner.outputs[docker] = "";  // the container went away
  clock.advance(30s);
  EXPECT_EQ(fetch(), ContainerMap{});

  Docker::Client missing{std::nullopt, runner};  // without a client nothing runs
  EXPECT_TRUE(Docker::fetchContainerPorts(missing).empty());
  Docker::stop(missing, "db-1");

  Docker::stop(client, "db-1");
  const FakeToolRunner::Call ps{docker, {"ps", "--format", "{{.Names}}\t{{.Ports}}"}, {.deadline = 5s}};
  EXPECT_EQ(runner.calls, (std::vector<FakeToolRunner::Call>{ps, ps, {docker, {"stop", "db-1"}, {.deadline = 30s}}}));
}

// A docker client that answers only once released; a second run would throw.
struct HeldToolRunner final : ToolRunner {
  using ToolRunner::run;
  std::string run(const std::string&, const std::vector<std::string>&, const ToolLimits&) override {
    started.set_value();
    released.wait();
    return "db-2\t0.0.0.0:5433->5432/tcp\n";
  }
  std::promise<void> started, release;
  std::shared_future<void> released = release.get_future().share();
};

TEST(DockerClient, WhileOneFetchRunsOthersGetTheLastMapAtOnce) {
  const std::pair<const char*, std::optional<ContainerMap>> cases[] = {
      {"stale map", ContainerMap{{5432, {{"0.0.0.0", "db-1"}}}}}, {"nothing fetched yet", std::nullopt}};
  for (const auto& [name, stale] : cases) {
    HeldToolRunner runner;
    Docker::Client client{"/usr/bin/docker", runner};
    Docker::PortCache cache;
    ManualClock clock;
    if (stale) cache.store(*stale, clock.now());
    clock.advance(Docker::PortCache::kTimeToLive);

    auto fetch = [&] { return Docker::containerPorts(client, cache, clock); };
    auto first = std::async(std::launch::async, fetch);
    EXPECT_EQ(runner.started.get_future().wait_for(10s), std::future_status::ready) << name;
    auto second = std::async(std::launch::async, fetch);
    bool secondReturned = second.wait_for(5s) == std::future_status::ready;
    runner.release.set_value();
    EXPECT_TRUE(secondReturned) << name;
    EXPECT_EQ(second.get(), stale.value_or(ContainerMap{})) << name;

    const ContainerMap fetched{{5433, {{"0.0.0.0", "db-2"}}}};
    EXPECT_EQ(first.get(), fetched) << name;
    EXPECT_EQ(fetch(), fetched) << name;
  }
}

}  // namespace
