// `tarnwick --list` against real listeners started by the test.
#include "core/scan/proc_scan_source.h"
#include "core/scan/process_table.h"
#include "core/scan/scan.h"
#include "core/system/number.h"
#include "support/port_entry_printer.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <map>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The ancestry of `pid` read straight from /proc/PID/stat: an oracle that
// shares no code with the scan.
Ancestry ancestryFromProc(int32_t pid) {
  auto parentAndName = [](int32_t of, int32_t& ppid, std::string& name) {
    std::ifstream file("/proc/" + std::to_string(of) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) return false;
    name = stat.substr(open + 1, close - open - 1);
    std::istringstream rest(stat.substr(close + 2));
    char state;
    return static_cast<bool>(rest >> state >> ppid);
  };
  Ancestry result{{}, pid};
  int32_t current = 0;
  std::string name;
  if (!parentAndName(pid, current, name)) return result;
  while (current >= 2 && result.chain.size() < 20) {
    int32_t next = 0;
    if (!parentAndName(current, next, name)) break;
    result.chain.emplace_back(PortCore::lastPathComponent(name));
    result.root = current;
    current = next;
  }
  return result;
}

std::string userName() {
  const passwd* entry = ::getpwuid(::geteuid());
  return entry ? entry->pw_name : "";
}

struct Expected {
  int32_t pid = 0;
  int64_t port = 0;
  std::string address;
  std::optional<std::string> cwd, project;
};

class ListModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plainDir.write("README", "no package.json here");
    shopDir.write("package.json", R"({"name": "tw-shop", "private": true})");
    plainName = std::string(PortCore::lastPathComponent(plainDir.path()));
    startListeners();
  }

  void startListeners() {
    std::vector<int> ports;
    auto v4 = startListener({"--chdir", plainDir.path(), "--bind", "127.0.0.1:0"}, &ports);
    expected.push_back({v4.pid(), ports.at(0), "127.0.0.1", plainDir.path(), plainName});
    processes.push_back(std::move(v4));

    ports.clear();
    auto v6 = startListener({"--chdir", "/", "--bind", "::1:0"}, &ports);
    expected.push_back({v6.pid(), ports.at(0), "[::1]", std::nullopt, std::nullopt});
    processes.push_back(std::move(v6));

    ports.clear();
    auto dual = startListener({"--bind", "dual:0"}, &ports, {shopDir.path(), {}});
    expected.push_back({dual.pid(), ports.at(0), "*", shopDir.path(), "tw-shop"});
    processes.push_back(std::move(dual));

    ports.clear();
    auto first = startListener({"--chdir", plainDir.path(), "--reuseport", "--bind", "127.0.0.1:0"}, &ports);
    int shared = ports.at(0);
    auto second = startListener(
        {"--chdir", plainDir.path(), "--reuseport", "--bind", "127.0.0.1:" + std::to_string(shared)});
    expected.push_back({first.pid(), shared, "127.0.0.1", plainDir.path(), plainName});
    expected.push_back({second.pid(), shared, "127.0.0.1", plainDir.path(), plainName});
    processes.push_back(std::move(first));
    processes.push_back(std::move(second));

    startOnBothLoopbacks();
    startUnderTwoShells();
  }

  // One process on 127.0.0.1:P and [::1]:P gives one entry, for the address
  // bound (and listed) first. The port is picked free, then bound: retry when
  // someone else took it in between.
  void startOnBothLoopbacks() {
    for (int attempt = 0; attempt < 5; ++attempt) {
      std::string port = std::to_string(freeLoopbackPort());
      auto process = TestProcess::start({listenerPath(), "--chdir", plainDir.path(), "--bind",
                                         "127.0.0.1:" + port, "--bind", "::1:" + port});
      if (!process.readUntil("ready")) continue;
      expected.push_back({process.pid(), std::stoi(port), "127.0.0.1", plainDir.path(), plainName});
      processes.push_back(std::move(process));
      return;
    }
    ADD_FAILURE() << "no free port for both loopback addresses";
  }

  // sh -> sh -> listener, so the chain starts with two shells above the listener.
  void startUnderTwoShells() {
    const std::string inner = "\"$0\" --chdir \"$1\" --bind 127.0.0.1:0 & echo pid $!; wait";
    auto process = TestProcess::start(
        {"/bin/sh", "-c", "/bin/sh -c \"$2\" \"$0\" \"$1\"; :", listenerPath(), plainDir.path(), inner});
    std::optional<int32_t> pid;
    std::optional<int> port;
    bool ready = false;
    while (!(pid && port && ready)) {
      auto line = process.readLine();
      if (!line) break;
      if (line->rfind("pid ", 0) == 0) pid = PortCore::parseInt32(line->substr(4));
      if (line->rfind("port ", 0) == 0) port = std::stoi(line->substr(5));
      ready = ready || *line == "ready";
    }
    ASSERT_TRUE(pid && port && ready) << "the listener under two shells did not start";
    expected.push_back({*pid, *port, "127.0.0.1", plainDir.path(), plainName});
    shellListener = *pid;
    processes.push_back(std::move(process));
  }

  // The entries of our listeners, by PID and port.
  std::map<std::string, PortEntry> ours(const std::vector<PortEntry>& entries) const {
    std::map<std::string, PortEntry> found;
    for (const auto& entry : entries)
      for (const auto& e : expected)
        if (entry.pid == e.pid && entry.port == e.port) found.emplace(entry.id(), entry);
    return found;
  }

  void expectAllFound(const std::vector<PortEntry>& entries) const {
    auto found = ours(entries);
    EXPECT_EQ(found.size(), expected.size());
    for (const auto& e : expected) {
      auto it = found.find(std::to_string(e.pid) + ":" + std::to_string(e.port));
      if (it == found.end()) {
        ADD_FAILURE() << "no entry for pid " << e.pid << " on port " << e.port;
        continue;
      }
      const PortEntry& entry = it->second;
      auto ancestry = ancestryFromProc(e.pid);
      SCOPED_TRACE(encodeJson(entry));
      EXPECT_EQ(entry.address, e.address);
      EXPECT_EQ(entry.command, "tw_listener");
      EXPECT_EQ(entry.user, userName());
      EXPECT_EQ(entry.parentChain, ancestry.chain);
      EXPECT_EQ(entry.rootPid, ancestry.root);
      EXPECT_EQ(entry.cwd, e.cwd);
      EXPECT_EQ(entry.project, e.project);
    }
  }

  TempDir plainDir, shopDir;
  std::string plainName;
  std::vector<TestProcess> processes;
  std::vector<Expected> expected;
  int32_t shellListener = 0;
};

std::string runList(const std::vector<std::string>& args, int* status) {
  TempDir dir;
  std::string out = dir.path() + "/out";
  // Through a file, not a pipe reader, so the bytes are seen exactly as printed.
  std::vector<std::string> argv{"/bin/sh", "-c", "\"$0\" \"$@\" > \"" + out + "\"", tarnwickPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  *status = runProgram(argv).status;
  std::ifstream file(out, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST_F(ListModeTest, FindsEveryListenerWithItsProcessDetails) {
  int status = -1;
  std::string out = runList({"--list"}, &status);
  EXPECT_EQ(status, 0);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back(), '\n');
  EXPECT_EQ(out.find('\n'), out.size() - 1) << "more than one line";
  std::string error;
  auto entries = decodePortEntries(out, &error);
  ASSERT_TRUE(entries) << error << "\n" << out;
  expectAllFound(*entries);

  auto chain = ancestryFromProc(shellListener).chain;
  ASSERT_GE(chain.size(), 2u);
  EXPECT_EQ(chain[0], "sh");
  EXPECT_EQ(chain[1], "sh");
}

constexpr uid_t nobody = 65534;

// The ports of the light poll as `nobody` sees them, from a forked child.
std::vector<int64_t> portsSeenByNobody() {
  int pipe[2];
  if (::pipe(pipe) != 0) return {};
  pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(1);
    ProcScanSource source;
    for (int64_t port : PortCore::listeningPortNumbers(source))
      if (::write(pipe[1], &port, sizeof port) != sizeof port) ::_exit(1);
    ::_exit(0);
  }
  ::close(pipe[1]);
  std::vector<int64_t> ports;
  for (int64_t port; ::read(pipe[0], &port, sizeof port) == sizeof port;) ports.push_back(port);
  ::close(pipe[0]);
  int status = -1;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  return ports;
}

// Run without privileges, the list and the light poll hold that user's own
// listener and none of root's. The programs are copied where `nobody` may run them.
TEST_F(ListModeTest, AnUnprivilegedUserSeesItsOwnListenersOnly) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempDir bin;
  std::filesystem::permissions(bin.path(), std::filesystem::perms(0755));
  for (const auto& program : {tarnwickPath(), listenerPath()})
    std::filesystem::copy_file(program, bin.path() + "/" + std::string(PortCore::lastPathComponent(program)));
  const std::vector<std::string> asNobody{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  auto argv = asNobody;
  argv.insert(argv.end(), {bin.path() + "/tw_listener", "--chdir", bin.path(), "--bind", "127.0.0.1:0"});
  auto own = TestProcess::start(argv);
  auto lines = own.readUntil("ready");
  ASSERT_TRUE(lines && lines->front().rfind("port ", 0) == 0);
  int ownPort = std::stoi(lines->front().substr(5));

  argv = asNobody;
  argv.push_back(bin.path() + "/tarnwick");
  argv.push_back("--list");
  auto run = runProgram(argv);
  EXPECT_EQ(run.status, 0);
  auto entries = decodePortEntries(run.out);
  ASSERT_TRUE(entries) << run.out;
  auto ancestry = ancestryFromProc(own.pid());
  const PortEntry ownEntry{ownPort, "127.0.0.1", own.pid(), "tw_listener", ::getpwuid(nobody)->pw_name,
                           ancestry.chain, ancestry.root, bin.path(), std::string(PortCore::lastPathComponent(bin.path()))};
  EXPECT_NE(std::find(entries->begin(), entries->end(), ownEntry), entries->end()) << run.out;
  EXPECT_TRUE(ours(*entries).empty()) << run.out;

  auto ports = portsSeenByNobody();
  EXPECT_NE(std::find(ports.begin(), ports.end(), ownPort), ports.end());
  for (const auto& e : expected) EXPECT_EQ(std::find(ports.begin(), ports.end(), e.port), ports.end()) << e.port;
}

}  // namespace
