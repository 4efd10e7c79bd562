#include "core/probe/loopback_prober.h"
#include "core/probe/probe.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Seconds = std::chrono::duration<double>;

struct Server {
  TestProcess process;
  int64_t port = 0;
};

Server startServer(const std::string& bind, std::vector<std::string> mode) {
  std::vector<std::string> args{"--bind", bind};
  args.insert(args.end(), mode.begin(), mode.end());
  std::vector<int> ports;
  Server server{startListener(args, &ports), 0};
  if (!ports.empty()) server.port = ports.front();
  return server;
}

TEST(HttpStatusLine, AcceptsOnlyStatusLines) {
  const std::pair<const char*, bool> cases[] = {
      {"HTTP/1.1 200 OK", true},  {"HTTP/2 500", true},        {"HTTP/1.1 204", true},  {"HTTP/1.1 200OK", false},
      {"HTTP/1.1 20", false},     {"HTTP/1.1  200", false},    {"HTTP/ 200", false},    {"HTTP/1. 200", false},
      {"http/1.1 200 OK", false}, {"", false},                 {"HTTP/1.1", false},
  };
  for (auto [line, expected] : cases) EXPECT_EQ(PortCore::isHttpStatusLine(line), expected) << line;
}

TEST(Probe, AnswersForRealServers) {
  const std::tuple<const char*, std::vector<std::string>, bool> cases[] = {
      {"127.0.0.1:0", {"--http", "500"}, true},
      {"127.0.0.1:0", {"--garbage"}, false},
      {"::1:0", {"--http", "404"}, true},  // only on [::1]
  };
  for (const auto& [bind, mode, healthy] : cases)
    EXPECT_EQ(PortCore::probe(startServer(bind, mode).port), healthy) << bind << " " << mode.front();
  EXPECT_FALSE(PortCore::probe(int64_t{freeLoopbackPort()})) << "closed port";
  for (int64_t port : {int64_t{0}, int64_t{65536}})
    EXPECT_FALSE(PortCore::probe(port)) << port;
}

TEST(ProbeSerial, SilentServerTimesOutAfterOneAndAHalfSeconds) {
  Server silent = startServer("127.0.0.1:0", {});
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(PortCore::probe(silent.port));
  double took = Seconds(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(took, 1.45);
  EXPECT_LE(took, 2.0);
}

TEST(ProbeSerial, AsyncAnswersOnTheProberThread) {
  Server http = startServer("127.0.0.1:0", {"--http", "500"});
  Server silent = startServer("127.0.0.1:0", {});
  std::mutex mutex;
  std::map<int64_t, bool> answers;
  std::set<std::thread::id> threads;
  std::optional<Seconds> httpAnsweredAfter;
  PortCore::AsyncProber prober(PortCore::systemClock());
  auto start = std::chrono::steady_clock::now();
  for (int64_t port : {http.port, silent.port, int64_t{freeLoopbackPort()}, int64_t{0}}) {
    prober.submit(port, [&, port](bool healthy) {
      std::lock_guard lock(mutex);
      answers[port] = healthy;
      threads.insert(std::this_thread::get_id());
      if (port == http.port) httpAnsweredAfter = std::chrono::steady_clock::now() - start;
    });
  }
  ASSERT_TRUE(waitUntil([&] {
    std::lock_guard lock(mutex);
    return answers.size() == 4;
  }, 5s));
  std::lock_guard lock(mutex);
  EXPECT_TRUE(answers[http.port]);
  EXPECT_FALSE(answers[silent.port]);
  EXPECT_LT(httpAnsweredAfter->count(), 1.0) << "a quick answer must not wait for the silent port";
  EXPECT_EQ(threads.size(), 1u);
  EXPECT_FALSE(threads.count(std::this_thread::get_id()));
}

TEST(Probe, StoppingTheProberAnswersPendingProbes) {
  Server silent = startServer("127.0.0.1:0", {});
  std::optional<bool> answer;
  {
    PortCore::AsyncProber prober(PortCore::systemClock());
    prober.submit(silent.port, [&](bool healthy) { answer = healthy; });
  }
  EXPECT_EQ(answer, false);
}

}  // namespace
