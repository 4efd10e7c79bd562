#include "core/lsof_parse.h"
#include "core/scan.h"
#include "core/scan_source.h"
#include "core/tool_runner.h"
#include "support/port_entry_printer.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

// Canned output, and a record of which working directories were asked for.
class CannedScanSource final : public ScanSource {
 public:
  std::string sockets, processes, directories, ports;
  std::vector<std::vector<int32_t>> directoryRequests;

  std::string listeningSockets() override { return sockets; }
  std::string processList() override { return processes; }
  std::string workingDirectories(const std::vector<int32_t>& pids) override {
    directoryRequests.push_back(pids);
    return directories;
  }
  std::string listeningPortNumbers() override { return ports; }
};

TEST(ListPorts, JoinsCapturedOutput) {
  CannedScanSource source;
  source.sockets = readFile(testDataPath("lsof_listen_full.txt"));
  source.processes = readFile(testDataPath("ps_table.txt"));
  source.directories = readFile(testDataPath("lsof_cwd.txt"));
  auto entries = PortCore::listPorts(source);

  ASSERT_EQ(source.directoryRequests.size(), 1u);
  auto asked = source.directoryRequests.front();
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, (std::vector<int32_t>{13, 17, 22, 27, 35, 37, 44, 55}));

  // tarnwick --list printed this line during the capture, while the working
  // directories and "shop app"/package.json still existed.
  auto printed = decodePortEntries(readFile(testDataPath("list_output.json")));
  ASSERT_TRUE(printed);
  for (auto& entry : *printed)
    if (entry.pid == 17) {
      EXPECT_EQ(entry.project, "shop");
      entry.project = "shop app";  // the directory is gone, so is its package.json
    }
  EXPECT_EQ(entries, *printed);
  auto root = std::find_if(entries.begin(), entries.end(), [](const PortEntry& e) { return e.pid == 13; });
  ASSERT_NE(root, entries.end());
  EXPECT_FALSE(root->cwd);  // its working directory is "/"
  EXPECT_FALSE(root->project);
}

TEST(ListPorts, NothingListeningAsksForNoDirectories) {
  CannedScanSource source;
  source.sockets = "p5\ncsshd\n";
  source.processes = readFile(testDataPath("ps_table.txt"));
  EXPECT_TRUE(PortCore::listPorts(source).empty());
  EXPECT_TRUE(source.directoryRequests.empty());
}

// One name that is not UTF-8 once blanked the whole scan; now only that name
// carries a replacement character.
TEST(ListPorts, InvalidUtf8FromAToolCostsOnlyTheBadBytes) {
  RealToolRunner runner;
  std::string out = runner.run("/usr/bin/printf", {"p7\\ncbad\\377name\\nLdev\\nn*:3000\\np8\\ncok\\nn*:3001\\n"});
  auto entries = PortCore::parseLsof(out, {});
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].command, "bad\xef\xbf\xbdname");
  EXPECT_EQ(entries[1].command, "ok");
  EXPECT_EQ(runner.run("/nonexistent/tool", {}), "");
}

}  // namespace
