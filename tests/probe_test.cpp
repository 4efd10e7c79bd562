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

// A tw_listener started with `args`, and its port.
struct Server {
  explicit Server(const std::vector<std::string>& args) : process(startListener(args, &ports)) {}
  int64_t port() const { return ports.empty() ? 0 : ports.front(); }
  std::vector<int> ports;
  TestProcess process;
};

TEST(HttpStatusLine, AcceptsOnlyStatusLines) {
  const std::pair<const char*, bool> cases[] = {
      {"HTTP/1.1 200 OK", true},
      {"HTTP/2 500", true},
      {"HTTP/1.1 204", true},
      {"HTTP/1.1 200OK", false},
      {"HTTP/1.1 20", false},
      {"HTTP/1.1  200", false},
      {"HTTP/ 200", false},
      {"HTTP/1. 200", false},
      {"http/1.1 200 OK", false},
      {"", false},
      {"HTTP/1.1", false},
      {"HTTP/1.x 200", false},
      {"HTTP/1.1/200", false},
  };
  for (auto [line, expected] : cases) EXPECT_EQ(PortCore::isHttpStatusLine(line), expected) << line;
}

TEST(Probe, AnswersForRealServers) {
  const std::pair<std::vector<std::string>, bool> cases[] = {
      {{"--bind", "::1:0", "--reply", "HTTP/1.1 204"}, true},  // only on [::1]; no reason phrase before the CR
      // A status line as long as is read, with no end yet, from a server that waits.
      {{"--bind", "127.0.0.1:0", "--hold-reply", "HTTP/1.1 200 " + std::string(1011, 'x')}, true},
      {{"--bind", "127.0.0.1:0"}, false},                          // silent: the deadline ends it
  };
  for (const auto& [args, healthy] : cases)
    EXPECT_EQ(PortCore::probe(Server(args).port()), healthy) << ::testing::PrintToString(args);
  EXPECT_FALSE(PortCore::probe(int64_t{freeLoopbackPort()})) << "closed port";
  for (int64_t port : {int64_t{0}, int64_t{65536}}) EXPECT_FALSE(PortCore::probe(port)) << port;
}

TEST(ProbeSerial, AsyncAnswersOnTheProberThread) {
  Server http({"--bind", "127.0.0.1:0", "--reply", "HTTP/1.1 500 Oops"}), silent({"--bind", "127.0.0.1:0"});
  std::mutex mutex;
  std::map<int64_t, bool> answers;
  std::set<std::thread::id> threads;
  std::map<int64_t, Seconds> answeredAfter;
  PortCore::AsyncProber prober(PortCore::systemClock());
  auto start = std::chrono::steady_clock::now();
  for (int64_t port : {http.port(), silent.port(), int64_t{freeLoopbackPort()}, int64_t{0}})
    prober.submit(port, [&, port](bool healthy) {
      std::lock_guard lock(mutex);
      answers[port] = healthy;
      threads.insert(std::this_thread::get_id());
      answeredAfter[port] = std::chrono::steady_clock::now() - start;
    });
  ASSERT_TRUE(waitUntil([&] { std::lock_guard lock(mutex); return answers.size() == 4; }, 5s));
  std::lock_guard lock(mutex);
  EXPECT_TRUE(answers[http.port()]);
  EXPECT_FALSE(answers[silent.port()]);
  EXPECT_LT(answeredAfter[http.port()].count(), 1.0) << "a quick answer must not wait for the silent port";
  EXPECT_GE(answeredAfter[silent.port()].count(), 1.45);
  EXPECT_LE(answeredAfter[silent.port()].count(), 2.0);
  EXPECT_EQ(threads.size(), 1u);
  EXPECT_FALSE(threads.count(std::this_thread::get_id()));
}

TEST(Probe, StoppingTheProberAnswersPendingProbes) {
  Server silent({"--bind", "127.0.0.1:0"});
  std::optional<bool> answer;
  {
    PortCore::AsyncProber prober(PortCore::systemClock());
    prober.submit(silent.port(), [&](bool healthy) { answer = healthy; });
  }
  EXPECT_EQ(answer, false);
}

}  // namespace
