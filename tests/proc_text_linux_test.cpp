// The pieces of the native source that turn kernel text into tool text: the
// socket tables, stat lines, and the way lsof and ps escape process names
// (rows taken from what lsof 4.95 and procps-ng print on this machine).
#include "core/command_text.h"
#include "core/stat_facts.h"
#include "core/proc_scan_source.h"
#include "core/tcp_listeners.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using PortCore::TcpFamily;

TEST(TcpTable, KeepsListeningRowsWithAddressesWrittenAsLsofWritesThem) {
  struct Case {
    const char* row;
    TcpFamily family;
    std::vector<ListeningSocket> expected;
  };
  const char* header = "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";
  const Case cases[] = {
      {"   0: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        0 4242 1 0 100 0 0 10 0",
       TcpFamily::V4, {{4242, "127.0.0.1", 8080}}},
      {"   1: 00000000:0BB8 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0        0 77 1 0",
       TcpFamily::V4, {{77, "*", 3000}}},
      {"   2: 0100007F:1F90 0100007F:D431 01 00000000:00000000 00:00000000 00000000  1000        0 99 1 0",
       TcpFamily::V4, {}},  // established, not listening
      {"   3: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        0 0 1 0",
       TcpFamily::V4, {}},  // no inode: nobody can hold it
      {"   0: 00000000000000000000000001000000:1F90 00000000000000000000000000000000:0000 0A 00000000:00000000 "
       "00:00000000 00000000     0        0 5 1 0",
       TcpFamily::V6, {{5, "[::1]", 8080}}},
      {"   0: 00000000000000000000000000000000:0050 00000000000000000000000000000000:0000 0A 00000000:00000000 "
       "00:00000000 00000000     0        0 6 1 0",
       TcpFamily::V6, {{6, "*", 80}}},
      {"   0: 0000000000000000FFFF00000100007F:0050 00000000000000000000000000000000:0000 0A 00000000:00000000 "
       "00:00000000 00000000     0        0 7 1 0",
       TcpFamily::V6, {{7, "127.0.0.1", 80}}},
      {"   0: 0000000000000000FFFF000000000000:0050 00000000000000000000000000000000:0000 0A 00000000:00000000 "
       "00:00000000 00000000     0        0 8 1 0",
       TcpFamily::V6, {{8, "*", 80}}},
      {"   0: 0100007F:XYZ 00000000:0000 0A", TcpFamily::V4, {}},
      {"garbage", TcpFamily::V4, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PortCore::parseTcpTable(std::string(header) + c.row + "\n", c.family), c.expected) << c.row;
}

TEST(ProcStat, TakesTheNameBetweenTheFirstOpenAndTheLastCloseParenthesis) {
  struct Case {
    const char* stat;
    std::optional<std::string> comm;
    int32_t ppid;
    uint64_t start;
  };
  const char* tail = " S 7 1 1 0 -1 4194560 100 0 0 0 1 2 0 0 20 0 1 0 12345 1000 10 0";
  const Case cases[] = {
      {"42 (node)", "node", 7, 12345},
      {"42 (a) b (c)", "a) b (c", 7, 12345},
      {"42 (x(y)", "x(y", 7, 12345},
      {"42 ()", "", 7, 12345},
      {"42 node", std::nullopt, 0, 0},
  };
  for (const auto& c : cases) {
    auto facts = PortCore::parseProcStat(std::string(c.stat) + tail);
    ASSERT_EQ(facts.has_value(), c.comm.has_value()) << c.stat;
    if (!facts) continue;
    EXPECT_EQ(facts->comm, *c.comm);
    EXPECT_EQ(facts->ppid, c.ppid);
    EXPECT_EQ(facts->startTime, c.start);
  }
  EXPECT_FALSE(PortCore::parseProcStat("42 (node) S 7"));
}

TEST(CommandText, EscapesNamesAsLsofAndPsDo) {
  struct Case {
    std::string name, lsof, ps;
  };
  const Case cases[] = {
      {"node", "node", "node"},
      {"a b", "a b", "a b"},
      {"A\\B", "A\\\\B", "A\\B"},
      {"caf\xc3\xa9", "caf\xc3\xa9", "caf\xc3\xa9"},
      {"A\xff" "B", "A\\xffB", "A?B"},
      {"x\xff\x7f\ty\xc3z\x1b\x01\n", "x\\xff\\x7f\\ty\\xc3z^[^A\\n", "x?..y?z..."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PortCore::lsofText(c.name), c.lsof) << c.name;
    EXPECT_EQ(PortCore::psText(c.name), c.ps) << c.name;
  }
}

// A /proc tree in a temporary directory: the source reads nothing else.
TEST(ProcScanSource, ReadsAFixtureTree) {
  TempDir root;
  root.write("net/tcp",
             "  sl  local_address rem_address   st\n"
             "   0: 0100007F:0BB8 00000000:0000 0A 00000000:00000000 00:00000000 00000000  0 0 501 1 0\n");
  root.write("net/tcp6", "  sl\n");
  root.write("10/stat", "10 (server) S 1 10 10 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 99 0 0 0\n");
  root.write("11/stat", "11 (worker) S 10 10 10 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 100 0 0 0\n");
  ::mkdir((root.path() + "/10/fd").c_str(), 0755);
  ::mkdir((root.path() + "/11/fd").c_str(), 0755);
  ASSERT_EQ(::symlink("/dev/null", (root.path() + "/10/fd/0").c_str()), 0);
  ASSERT_EQ(::symlink("socket:[501]", (root.path() + "/10/fd/3").c_str()), 0);
  ASSERT_EQ(::symlink("socket:[777]", (root.path() + "/11/fd/4").c_str()), 0);
  ASSERT_EQ(::symlink("/srv/app", (root.path() + "/10/cwd").c_str()), 0);

  ProcScanSource source(root.path(), ProcScanSource::SocketTable::ProcFiles);
  auto uid = std::to_string(::geteuid());
  auto sockets = source.listeningSockets();
  EXPECT_NE(sockets.find("p10\nR1\ncserver\nu" + uid + "\n"), std::string::npos) << sockets;
  EXPECT_NE(sockets.find("PTCP\nn127.0.0.1:3000\n"), std::string::npos) << sockets;
  EXPECT_EQ(sockets.find("p11"), std::string::npos) << "socket 777 does not listen";
  EXPECT_EQ(source.processList(), "   10     1 server\n   11    10 worker\n");
  EXPECT_EQ(source.workingDirectories({11, 10, 12}), "p10\nn/srv/app\n");
  EXPECT_EQ(source.listeningPortNumbers(), "n127.0.0.1:3000\n");
}

}  // namespace
