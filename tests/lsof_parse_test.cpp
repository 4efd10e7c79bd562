#include "core/scan/lsof_parse.h"
#include "core/scan/scan.h"

#include "support/port_entry_printer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// An entry of a run parsed without a process table.
PortEntry socket(int32_t pid, int64_t port, std::string address, std::string command, std::string user) {
  return {port, std::move(address), pid, std::move(command), std::move(user), {}, pid, {}, {}};
}

TEST(LsofParse, HostileSocketOutput) {
  const std::pair<std::string, std::vector<PortEntry>> cases[] = {
      {"n127.0.0.1:3000\n", {socket(0, 3000, "127.0.0.1", "", "")}},
      {"p2147483648\nn*:1\np-7\nn*:2\np+8\nn*:3\n",
       {socket(0, 1, "*", "", ""), socket(-7, 2, "*", "", ""), socket(8, 3, "*", "", "")}},
      {"p1\ncA\nLu\np2\nn*:1\n", {socket(2, 1, "*", "", "")}},
      {"p5\nnlocalhost\nn\nn*:\nn*:http\nn*:3000x\nn*: 3000\nn*:3000\r\nn*:0x10\n", {}},
      {"p5\nn[fe80::1%eth0]:8080\nn[::1]:8080\nn127.0.0.1:8080\n", {socket(5, 8080, "[fe80::1%eth0]", "", "")}},
      {"p9\nn*:80\np3\nn*:80\np9\nn[::]:80\n", {socket(3, 80, "*", "", ""), socket(9, 80, "*", "", "")}},
      {"3000\n n*:1\n\tn*:2\nx\n\n\n", {}},
      {std::string("p5\0\nn*:1\np6\nn*:2\0\nc\0node\nn*:3\n", 30),
       {socket(0, 1, "*", "", ""), socket(6, 3, "*", std::string("\0node", 5), "")}},
      {"p7\ncbad\xff\xfe\nL\xc3\xa9\nn*:4\n", {socket(7, 4, "*", "bad\xff\xfe", "\xc3\xa9")}},
      {"p7\nchost:with:colons\nnhost:with:colons:22\n", {socket(7, 22, "host:with:colons", "host:with:colons", "")}},
  };
  for (const auto& [output, expected] : cases) EXPECT_EQ(PortCore::parseLsof(output, {}), expected) << output;
}

TEST(LsofParse, HostileWorkingDirectoryOutput) {
  const std::pair<std::string, CwdMap> cases[] = {
      {"n/before/any/p\np0\nn/zero\npabc\nn/bad\n", {}},
      {"p5\nfcwd\nn/a\nn/b\n", {{5, "/b"}}},
      {std::string("p5\nn/nul\0inside\n", 16), {{5, std::string("/nul\0inside", 11)}}},
  };
  for (const auto& [output, expected] : cases) EXPECT_EQ(PortCore::cwdMap(output), expected) << output;
}

TEST(LsofParse, HostilePortNumberOutput) {
  auto ports = PortCore::parsePortNumbers(
      "p1\nn*:80\nn[::1]:80\nnnothing\nn*:abc\np443\nc:99\n n*:1\nn*:-5\nn*:99999999999999999999\n");
  std::ranges::sort(ports);
  EXPECT_EQ(ports, (std::vector<int64_t>{-5, 80}));
}

}  // namespace
