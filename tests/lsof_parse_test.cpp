#include "core/lsof_parse.h"

#include "support/port_entry_printer.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

// The captured files come from tests/support/capture_scan_samples.sh: listeners
// on IPv4, on IPv6 (named "tw listener", working directory with a space), with
// a UTF-8 name, with a name holding the byte 0xFF, dual-stack under two shells,
// two sharing one port through SO_REUSEPORT, and one on 127.0.0.1 and [::1]
// with the same port.
TEST(LsofParse, CapturedListeningSockets) {
  auto table = PortCore::parseProcessTable(readFile(testDataPath("ps_table.txt")));
  auto entries = PortCore::parseLsof(readFile(testDataPath("lsof_listen_full.txt")), table);
  const std::vector<std::string> bash{"bash"};
  const std::vector<PortEntry> expected{
      {33603, "[::1]", 17, "tw listener", "root", bash, 2, {}, {}},
      {35527, "127.0.0.1", 27, "tw_l\\xffstener", "root", bash, 2, {}, {}},
      {36809, "127.0.0.1", 37, "tw_listener", "root", bash, 2, {}, {}},
      {36809, "127.0.0.1", 44, "tw_listener", "root", bash, 2, {}, {}},
      {39811, "127.0.0.1", 13, "tw_listener", "root", bash, 2, {}, {}},
      {42513, "127.0.0.1", 22, "tw_l\xc3\xafstener", "root", bash, 2, {}, {}},
      {42637, "127.0.0.1", 55, "tw_listener", "root", bash, 2, {}, {}},
      {46347, "*", 35, "tw_listener", "root", {"sh", "sh", "bash"}, 2, {}, {}},
  };
  EXPECT_EQ(entries, expected);
}

TEST(LsofParse, CapturedWorkingDirectories) {
  const std::string capture = "/tmp/tw-capture.gYYmVY";
  const CwdMap expected{{13, "/"},      {17, capture + "/shop app"}, {22, capture}, {27, capture},
                        {35, capture}, {37, capture},               {44, capture}, {55, capture}};
  EXPECT_EQ(PortCore::cwdMap(readFile(testDataPath("lsof_cwd.txt"))), expected);
}

TEST(LsofParse, CapturedPortNumbers) {
  auto ports = PortCore::parsePortNumbers(readFile(testDataPath("lsof_listen_ports.txt")));
  std::sort(ports.begin(), ports.end());
  EXPECT_EQ(ports, (std::vector<int64_t>{33603, 35527, 36809, 39811, 42513, 42637, 46347}));
}

struct Socket {
  int32_t pid;
  int64_t port;
  std::string address, command, user;
};

std::vector<Socket> sockets(std::string_view output) {
  std::vector<Socket> out;
  for (const auto& e : PortCore::parseLsof(output, {}))
    out.push_back({e.pid, e.port, e.address, e.command, e.user});
  return out;
}

bool operator==(const Socket& a, const Socket& b) {
  return std::tie(a.pid, a.port, a.address, a.command, a.user) ==
         std::tie(b.pid, b.port, b.address, b.command, b.user);
}

void PrintTo(const Socket& s, std::ostream* os) {
  *os << s.pid << " " << s.address << ":" << s.port << " '" << s.command << "' '" << s.user << "'";
}

TEST(LsofParse, HostileSocketOutput) {
  struct Case {
    std::string output;
    std::vector<Socket> expected;
  };
  const Case cases[] = {
      {"p5\ncnode\nLdev\nf12\nn*:3000\n", {{5, 3000, "*", "node", "dev"}}},
      {"n127.0.0.1:3000\n", {{0, 3000, "127.0.0.1", "", ""}}},
      {"pabc\ncx\nn*:1\n", {{0, 1, "*", "x", ""}}},
      {"p\nn*:1\n", {{0, 1, "*", "", ""}}},
      {"p2147483648\nn*:1\np-7\nn*:2\np+8\nn*:3\n",
       {{0, 1, "*", "", ""}, {-7, 2, "*", "", ""}, {8, 3, "*", "", ""}}},
      {"p1\ncA\nLu\np2\nn*:1\n", {{2, 1, "*", "", ""}}},
      {"p5\nnlocalhost\nn\nn*:\nn*:http\nn*:3000x\nn*: 3000\nn*:3000\r\nn*:0x10\n", {}},
      {"p5\nn*:+3000\nn*:-1\nn*:9223372036854775807\nn*:9223372036854775808\n",
       {{5, -1, "*", "", ""}, {5, 3000, "*", "", ""}, {5, 9223372036854775807, "*", "", ""}}},
      {"p5\nn[fe80::1%eth0]:8080\nn[::1]:8080\nn127.0.0.1:8080\n",
       {{5, 8080, "[fe80::1%eth0]", "", ""}}},
      {"p9\nn*:80\np3\nn*:80\np9\nn[::]:80\n", {{3, 80, "*", "", ""}, {9, 80, "*", "", ""}}},
      {"3000\n n*:1\n\tn*:2\nx\n\n\n", {}},
      {std::string("p5\0\nn*:1\np6\nn*:2\0\nc\0node\nn*:3\n", 30),
       {{0, 1, "*", "", ""}, {6, 3, "*", std::string("\0node", 5), ""}}},
      {"p7\ncbad\xff\xfe\nL\xc3\xa9\nn*:4\n", {{7, 4, "*", "bad\xff\xfe", "\xc3\xa9"}}},
      {"p7\nchost:with:colons\nnhost:with:colons:22\n", {{7, 22, "host:with:colons", "host:with:colons", ""}}},
  };
  for (const auto& c : cases) EXPECT_EQ(sockets(c.output), c.expected) << c.output;
}

TEST(LsofParse, HostileWorkingDirectoryOutput) {
  struct Case {
    std::string output;
    CwdMap expected;
  };
  const Case cases[] = {
      {"n/before/any/p\np0\nn/zero\npabc\nn/bad\n", {}},
      {"p5\nfcwd\nn/a\nn/b\n", {{5, "/b"}}},
      {"p5\nn/path with spaces\np6\nn\n", {{5, "/path with spaces"}, {6, ""}}},
      {"p-3\nn/neg\np+4\nn/plus\n", {{-3, "/neg"}, {4, "/plus"}}},
      {"p5\nn/first\np5\nn/again\n", {{5, "/again"}}},
      {std::string("p5\nn/nul\0inside\n", 16), {{5, std::string("/nul\0inside", 11)}}},
  };
  for (const auto& c : cases) EXPECT_EQ(PortCore::cwdMap(c.output), c.expected) << c.output;
}

TEST(LsofParse, HostilePortNumberOutput) {
  auto ports = PortCore::parsePortNumbers(
      "p1\nn*:80\nn[::1]:80\nnnothing\nn*:abc\np443\nc:99\n n*:1\nn*:-5\nn*:99999999999999999999\n");
  std::sort(ports.begin(), ports.end());
  EXPECT_EQ(ports, (std::vector<int64_t>{-5, 80}));
}

}  // namespace
