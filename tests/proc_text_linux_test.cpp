// The pieces of the native source that read kernel text: the socket tables,
// stat lines, and a fixture /proc tree read into records and joined.
#include "core/scan/scan_source_linux.h"
#include "core/scan/scan.h"
#include "core/scan/tcp_listeners.h"
#include "core/system/proc_stat_line.h"
#include "support/port_entry_printer.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using PortCore::TcpFamily;

// A row of /proc/net/tcp or tcp6: the local address and port in hex, the state, the owner and the inode.
std::string tcpRow(const std::string& local, const char* state, const char* uid, int inode) {
  return "   0: " + local + " 00000000:0000 " + state + " 00000000:00000000 00:00000000 00000000  " + uid + " 0 " +
         std::to_string(inode) + " 1 0";
}

TEST(TcpTable, KeepsListeningRowsWithAddressesAndOwners) {
  const char* header =
      "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";
  const std::string v4 = "0100007F:1F90", v6 = "0000000000000000";  // 127.0.0.1:8080; the first half of a v6 address
  const std::tuple<std::string, TcpFamily, std::vector<ListeningSocket>> cases[] = {
      {tcpRow(v4, "0A", "1000", 4242) + " 100 0 0 10 0", TcpFamily::V4, {{4242, "127.0.0.1", 8080, 1000}}},
      {tcpRow(v4, "01", "1000", 99), TcpFamily::V4, {}},  // established, not listening
      {tcpRow(v4, "0A", "1000", 0), TcpFamily::V4, {}},   // no inode: nobody can hold it
      {tcpRow(v4, "0A", "-1", 9), TcpFamily::V4, {}},     // no owner
      {"   0: 0100007F:XYZ 00000000:0000 0A", TcpFamily::V4, {}},
      {tcpRow("0100007F:00000000000000001F90", "0A", "0", 3), TcpFamily::V4, {}},  // wider than any field
      {tcpRow(v6 + "0000000001000000:1F90", "0A", "0", 5), TcpFamily::V6, {{5, "[::1]", 8080}}},
      {tcpRow(v6 + "0000000000000000:0050", "0A", "0", 6), TcpFamily::V6, {{6, "*", 80}}},
      {tcpRow(v6 + "FFFF00000100007F:0050", "0A", "0", 7), TcpFamily::V6, {{7, "127.0.0.1", 80}}},
      {tcpRow(v6 + "FFFF000000000000:0050", "0A", "0", 8), TcpFamily::V6, {{8, "*", 80}}},
  };
  for (const auto& [row, family, expected] : cases)
    EXPECT_EQ(PortCore::parseTcpTable(std::string(header) + row + "\n", family), expected) << row;
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
      {"42 (node) S 7 1 1 0 -1 4194560 100 0 0 0 30 x 0 0 20 0 1 0 12345 1000 10", std::nullopt},
  };
  for (const auto& [stat, expected] : cases) {
    auto line = PortCore::parseProcStatLine(stat);
    EXPECT_EQ(line ? std::optional(Fields{line->comm, line->ppid, line->startTime, line->cpuTicks, line->rssPages})
                   : std::nullopt, expected) << stat;
  }
}

// A /proc tree in a temporary directory: the source reads nothing else. Names
// reach the entries and the JSON line exactly as the system holds them.
TEST(ProcScanSource, ReadsAFixtureTreeIntoRecords) {
  const std::string comm = "a\tb\\c\n(x)\xff", cwd = "/srv/tab\tdir\\ \xff";
  const auto uid = ::geteuid();
  const std::string user = ::getpwuid(uid)->pw_name;
  TempDir root;
  root.write("net/tcp", "  sl  local_address rem_address   st\n   0: 0100007F:0BB8 00000000:0000 0A 00000000:00000000 "
                        "00:00000000 00000000 " + std::to_string(uid) + " 0 501 1 0\n");
  root.write("net/tcp6", "  sl\n");
  root.write("9/stat", "9 (sh) S 1 9 9 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 98 0 0 0\n");
  root.write("9/comm", "sh\n");
  root.write("10/stat", "10 (" + comm + ") S 9 10 10 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 99 0 0 0\n");
  root.write("11/stat", "11 (worker) S 10 10 10 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 100 0 0 0\n");
  for (const char* dir : {"/10/fd", "/11/fd"}) ::mkdir((root.path() + dir).c_str(), 0755);
  // 777 is not listening.
  const std::pair<std::string, const char*> links[] = {
      {"/dev/null", "/10/fd/0"}, {"socket:[501]", "/10/fd/3"}, {"socket:[777]", "/11/fd/4"}, {cwd, "/10/cwd"}};
  for (const auto& [target, link] : links)
    ASSERT_EQ(::symlink(target.c_str(), (root.path() + link).c_str()), 0) << link;

  ProcScanSource source(root.path(), ProcScanSource::SocketTable::ProcFiles);
  auto snapshot = source.snapshot();
  EXPECT_EQ(snapshot.listeners, (std::vector<ListenerRecord>{{501, "127.0.0.1", 3000, 10}}));
  EXPECT_EQ(snapshot.processes.at(10), (ProcessRecord{9, comm, uid, user, 99}));
  EXPECT_EQ(snapshot.processes.at(9).comm, "sh");
  EXPECT_EQ(snapshot.processes.count(11), 0u);
  EXPECT_EQ(snapshot.directories, (CwdMap{{10, cwd}}));
  EXPECT_EQ(source.processes().size(), 3u);
  EXPECT_EQ(PortCore::listeningPortNumbers(source), std::vector<int64_t>{3000});

  auto scan = PortCore::scanPorts(source);
  const PortEntry expected{3000, "127.0.0.1", 10, comm, user, {"sh"}, 9, cwd, "tab\tdir\\ \xff"};
  EXPECT_EQ(scan.entries, std::vector<PortEntry>{expected});
  EXPECT_EQ(scan.holders, (ProcessTable{{10, snapshot.processes.at(10)}}));
  EXPECT_EQ(encodeJson(scan.entries.front()),
            "{\"port\":3000,\"address\":\"127.0.0.1\",\"pid\":10,\"command\":\"a\\tb\\\\c\\n(x)\xef\xbf\xbd\","
            "\"user\":\"" + user + "\",\"parentChain\":[\"sh\"],\"rootPid\":9,"
            "\"cwd\":\"\\/srv\\/tab\\tdir\\\\ \xef\xbf\xbd\","
            "\"project\":\"tab\\tdir\\\\ \xef\xbf\xbd\"}");

  // A name changed in place outside every chain reaches the whole table
  // sixty-four calls after it was read (three calls above), however many scans came between.
  root.write("11/stat", "11 (renamed) S 10 10 10 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 100 0 0 0\n");
  for (int scan = 0; scan < 62; ++scan) source.snapshot();
  EXPECT_EQ(source.processes().at(11).comm, "renamed");
}

}  // namespace
