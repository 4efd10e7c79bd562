// The pieces of the native source that read kernel text: the socket tables,
// stat lines, and a fixture /proc tree read into records and joined.
#include "core/scan/scan_source_linux.h"
#include "core/scan/scan.h"
#include "core/scan/tcp_listeners.h"
#include "core/system/proc_stat_line.h"
#include "support/port_entry_printer.h"
#include "support/property.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using PortCore::TcpFamily;

// A row as the kernel prints it (net/ipv4/tcp_ipv4.c): each 32-bit word of
// the address with %08X as it lies in memory, the port with %04X; `portWidth`
// pads the port wider, `lower` writes the hex digits in lower case.
std::string kernelRow(const std::array<unsigned char, 16>& bytes, TcpFamily family, const ListeningSocket& socket,
                      int state, int portWidth, bool lower) {
  std::string row = "   0: ";
  for (size_t word = 0; word < (family == TcpFamily::V4 ? 1u : 4u); ++word) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + word * 4, 4);
    char text[9];
    std::snprintf(text, sizeof text, lower ? "%08x" : "%08X", value);
    row += text;
  }
  char rest[160];
  std::snprintf(rest, sizeof rest, lower ? ":%0*llx 00000000:0000 %02X 00000000:00000000 00:00000000 00000000 %5u 0 %llu 1 0"
                                         : ":%0*llX 00000000:0000 %02X 00000000:00000000 00:00000000 00000000 %5u 0 %llu 1 0",
                portWidth, static_cast<unsigned long long>(socket.port), state, socket.uid,
                static_cast<unsigned long long>(socket.inode));
  return row + rest;
}

// What the parser must give for an address: inet_ntop's text, "*" for any
// address, an IPv4-mapped one as IPv4.
std::string addressOf(const std::array<unsigned char, 16>& bytes, TcpFamily family) {
  char text[INET6_ADDRSTRLEN];
  const bool v4 = family == TcpFamily::V4;
  const bool mapped = !v4 && std::all_of(bytes.begin(), bytes.begin() + 10, [](auto b) { return b == 0; }) &&
                      bytes[10] == 0xFF && bytes[11] == 0xFF;
  const unsigned char* ipv4 = v4 ? bytes.data() : bytes.data() + 12;
  if (v4 || mapped) return std::all_of(ipv4, ipv4 + 4, [](auto b) { return b == 0; }) ? "*" : ::inet_ntop(AF_INET, ipv4, text, sizeof text);
  if (std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; })) return "*";
  return std::string("[") + ::inet_ntop(AF_INET6, bytes.data(), text, sizeof text) + "]";
}

TEST(TcpTable, ReadsBackEveryListeningRowTheKernelPrints) {
  const auto bytesGen = rc::gen::oneOf(
      rc::gen::arbitrary<std::array<unsigned char, 16>>(), rc::gen::just(std::array<unsigned char, 16>{}),
      rc::gen::map(rc::gen::arbitrary<std::array<unsigned char, 4>>(), [](auto v4) {
        std::array<unsigned char, 16> mapped{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
        std::copy(v4.begin(), v4.end(), mapped.begin() + 12);
        return mapped;
      }));
  checkProperty([&] {
    const auto family = *rc::gen::element(TcpFamily::V4, TcpFamily::V6);
    const auto bytes = *bytesGen;
    ListeningSocket socket{*rc::gen::inRange<uint64_t>(0, 1u << 20), addressOf(bytes, family),
                           *rc::gen::inRange<int64_t>(0, 65536), *rc::gen::arbitrary<uint32_t>()};
    const int state = *rc::gen::element(0x0A, 0x01, 0x06);
    const int portWidth = *rc::gen::inRange(4, 18);
    const std::string header = "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid\n";
    const auto row = kernelRow(bytes, family, socket, state, portWidth, *rc::gen::arbitrary<bool>());
    const bool kept = state == 0x0A && socket.inode != 0 && portWidth <= 16;
    RC_ASSERT(PortCore::parseTcpTable(header + row + "\n", family) ==
              (kept ? std::vector<ListeningSocket>{socket} : std::vector<ListeningSocket>{}));
  }, 1500);
}

// Rows no kernel prints: each is skipped, and the row after it still read.
TEST(TcpTable, SkipsRowsThatDoNotFit) {
  const std::string good = "   1: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0 7 1 0";
  const char* rows[] = {
      "   0: 0100007F:XYZ 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0 9 1 0",
      "   0: 0100007F:10000 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0 9 1 0",
      "   0: 0100007F1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0 9 1 0",
      "   0: 0100007:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0 9 1 0",
      "   0: 0100007G:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0 9 1 0",
      "   0: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  -1 0 9 1 0",
      "   0: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  4294967296 0 9 1 0",
      "   0: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0 x 1 0",
      "   0: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0",
  };
  for (const char* row : rows)
    EXPECT_EQ(PortCore::parseTcpTable(std::string(row) + "\n" + good, TcpFamily::V4),
              (std::vector<ListeningSocket>{{7, "127.0.0.1", 8080, 0}})) << row;
}

// The one stat line parser behind the scan's records and the statistics' counters.
TEST(ProcStat, TakesTheNameBetweenTheFirstOpenAndTheLastCloseParenthesis) {
  const char* tail = " S 7 1 1 0 -1 4194560 100 0 0 0 30 12 0 0 20 0 1 0 12345 1000 10 0";
  using Fields = std::tuple<std::string, int32_t, uint64_t, int64_t, int64_t>;  // comm, ppid, start, CPU, pages
  const std::pair<std::string, std::optional<Fields>> cases[] = {
      {"42 (node)" + std::string(tail), Fields{"node", 7, 12345, 42, 10}},
      {"42 (a) b (c)" + std::string(tail), Fields{"a) b (c", 7, 12345, 42, 10}},
      {"42 (x(y)" + std::string(tail), Fields{"x(y", 7, 12345, 42, 10}},
      {"42 ()\t" + std::string(tail), Fields{"", 7, 12345, 42, 10}},
      {"42 node" + std::string(tail), std::nullopt},
      {"42 (node) S 7 1 1 0 -1 4194560 100 0 0 0 30 12 0 0 20 0 1 0 12345 1000", std::nullopt},  // cut short
      // each field read, not a number in turn: parent, CPU times, start time
      {"42 (node) S x 1 1 0 -1 4194560 100 0 0 0 30 12 0 0 20 0 1 0 12345 1000 10", std::nullopt},
      {"42 (node) S 7 1 1 0 -1 4194560 100 0 0 0 x 12 0 0 20 0 1 0 12345 1000 10", std::nullopt},
      {"42 (node) S 7 1 1 0 -1 4194560 100 0 0 0 30 x 0 0 20 0 1 0 12345 1000 10", std::nullopt},
      {"42 (node) S 7 1 1 0 -1 4194560 100 0 0 0 30 12 0 0 20 0 1 0 1x345 1000 10", std::nullopt},
  };
  for (const auto& [stat, expected] : cases) {
    auto line = PortCore::parseProcStatLine(stat);
    EXPECT_EQ(line ? std::optional(Fields{line->comm, line->ppid, line->startTime, line->cpuTicks, line->rssPages})
                   : std::nullopt, expected) << stat;
  }
}

// A /proc tree in a temporary directory: the source reads nothing else. Names
// reach the entries exactly as the system holds them (their JSON form is the
// encoder's property in port_entry_test).
TEST(ProcScanSource, ReadsAFixtureTreeIntoRecords) {
  const std::string comm = "a\tb\\c\n(x)\xff", cwd = "/srv/tab\tdir\\ \xff";
  const auto uid = ::geteuid();
  const std::string user = ::getpwuid(uid)->pw_name;
  TempDir root;
  root.write("net/tcp", "  sl  local_address rem_address   st\n   0: 0100007F:0BB8 00000000:0000 0A 00000000:00000000 "
                        "00:00000000 00000000 " + std::to_string(uid) + " 0 501 1 0\n"
                        "   1: 0100007F:0BB9 00000000:0000 0A 00000000:00000000 00:00000000 00000000 " +
                        std::to_string(uid) + " 0 502 1 0\n");
  root.write("net/tcp6", "  sl\n");
  root.write("9/stat", "9 (sh) S 1 9 9 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 98 0 0 0\n");
  root.write("9/comm", "sh\n");
  root.write("10/stat", "10 (" + comm + ") S 9 10 10 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 99 0 0 0\n");
  root.write("11/stat", "11 (worker) S 10 10 10 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 100 0 0 0\n");
  // 50 and 51 are each other's parent, as PID reuse can make them look; 50 holds its socket as
  // descriptor 0, as a socket-activated daemon may.
  root.write("50/stat", "50 (loop) S 51 50 50 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 101 0 0 0\n");
  root.write("51/stat", "51 (pool) S 50 50 50 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 102 0 0 0\n");
  root.write("51/comm", "pool\n");
  // A signed name is no PID or descriptor, though it reads as a number.
  for (const char* dir : {"/10/fd", "/11/fd", "/50/fd", "/+10"}) ::mkdir((root.path() + dir).c_str(), 0755);
  // 777 is not listening.
  const std::pair<std::string, const char*> links[] = {
      {"/dev/null", "/10/fd/0"},
      {"socket:[501]", "/10/fd/3"},
      {"socket:[501]", "/10/fd/+3"},
      {"socket:[777]", "/11/fd/4"},
      {"socket:[502]", "/50/fd/0"},
      {cwd, "/10/cwd"},
  };
  for (const auto& [target, link] : links)
    ASSERT_EQ(::symlink(target.c_str(), (root.path() + link).c_str()), 0) << link;

  ProcScanSource source(root.path(), ProcScanSource::SocketTable::ProcFiles);
  auto snapshot = source.snapshot();
  EXPECT_EQ(snapshot.listeners, (std::vector<ListenerRecord>{{501, "127.0.0.1", 3000, 10}, {502, "127.0.0.1", 3001, 50}}));
  EXPECT_EQ(snapshot.processes.at(10), (ProcessRecord{9, comm, uid, user, 99}));
  EXPECT_EQ(snapshot.processes.count(11), 0u);
  EXPECT_EQ(snapshot.directories, (CwdMap{{10, cwd}}));
  EXPECT_EQ(source.processes().size(), 5u);
  EXPECT_EQ(PortCore::listeningPortNumbers(source), (std::vector<int64_t>{3000, 3001}));

  auto scan = PortCore::scanPorts(source);
  const PortEntry expected{3000, "127.0.0.1", 10, comm, user, {"sh"}, 9, cwd, "tab\tdir\\ \xff"};
  const PortEntry looped{3001, "127.0.0.1", 50, "loop", user, {"pool"}, 51, std::nullopt, std::nullopt};
  EXPECT_EQ(scan.entries, (std::vector<PortEntry>{expected, looped}));
  EXPECT_EQ(scan.holders.at(10).startTime, 99u);
  EXPECT_EQ(scan.holders.at(50).startTime, 101u);
  EXPECT_EQ(scan.holders.size(), 2u);

  // A name changed in place outside every chain reaches the whole table
  // sixty-four calls after it was read (three calls above), however many scans came between.
  root.write("11/stat", "11 (renamed) S 10 10 10 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 100 0 0 0\n");
  for (int scan = 0; scan < 62; ++scan) source.snapshot();
  EXPECT_EQ(source.processes().at(11).comm, "renamed");
}

}  // namespace
