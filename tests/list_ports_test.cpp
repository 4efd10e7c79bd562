#include "core/scan/scan.h"
#include "core/scan/scan_source.h"
#include "core/system/program_paths.h"
#include "core/system/tool_runner.h"
#include "support/port_entry_printer.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The output captured by tests/support/capture_scan_samples.sh, by what is asked.
struct CapturedTools final : ToolRunner {
  std::vector<std::vector<std::string>> calls;
  using ToolRunner::run;
  std::string run(const std::string& path, const std::vector<std::string>& args, const ToolLimits&) override {
    calls.push_back(args);
    if (path == ToolPaths::ps) return readFile(testDataPath("ps_table.txt"));
    return readFile(testDataPath(args.front() == "-a" ? "lsof_cwd.txt" : "lsof_listen_full.txt"));
  }
};

// The tool source over captured output, joined, with package.json read from a
// fixture: the directories are long gone.
TEST(ListPorts, JoinsCapturedOutput) {
  CapturedTools tools;
  ToolScanSource source(tools);
  auto entries = PortCore::joinScan(source.snapshot());
  std::vector<std::string> read;
  PortCore::FileSystemReads files(
      [&](const std::string& path) -> std::optional<std::string> {
        read.push_back(path);
        return path.ends_with("/shop app/package.json") ? std::optional(R"({"name": "shop"})") : std::nullopt;
      },
      [] { return std::vector<PortCore::Mount>{}; });
  PortCore::fillProjects(entries, files);
  ASSERT_EQ(tools.calls.size(), 3u);
  EXPECT_EQ(tools.calls[2], (std::vector<std::string>{"-a", "-p", "13,17,22,27,35,37,44,55", "-d", "cwd", "-F", "pn"}));
  std::set<std::string> folders;
  for (const auto& entry : entries)
    if (entry.cwd) folders.insert(*entry.cwd);
  EXPECT_EQ(read.size(), folders.size()) << "one read a folder, none for the process in /";

  // tarnwick --list printed this line during the capture.
  EXPECT_EQ(decodePortEntries(readFile(testDataPath("list_output.json"))), entries);
}

}  // namespace
