// Starting the tray application from the executable: the module is looked for
// beside it, then in ../lib/tarnwick, and every failure is one line and status 1.
#include "support/test_process.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Standard error and status of `program` run with `env`; the shell merges
// standard error into what runProgram reads.
RunResult runMerged(const std::string& program, const std::vector<std::string>& env) {
  return runProgram({"/bin/sh", "-c", "exec \"$0\" 2>&1", program}, {.workingDirectory = {}, .extraEnv = env});
}

std::string builtModule() { return (fs::path(tarnwickPath()).parent_path() / "libtarnwick_qt.so").string(); }

// A copy of the executable in `dir`, since the module is found from the
// executable's real location.
std::string installExecutable(const fs::path& dir) {
  fs::create_directories(dir);
  fs::copy_file(tarnwickPath(), dir / "tarnwick", fs::copy_options::overwrite_existing);
  return (dir / "tarnwick").string();
}

// A display that cannot be reached: the module loads, then fails to open it.
const std::vector<std::string> kUnreachableDisplay = {"DISPLAY=:65000", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"};

TEST(ApplicationStart, WithoutADisplayItSaysSoAndFails) {
  auto result = runMerged(tarnwickPath(), {"DISPLAY=", "WAYLAND_DISPLAY="});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "tarnwick: no display to show the tray on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
}

TEST(ApplicationStart, ModuleIsFoundBesideTheExecutableOrInLibTarnwick) {
  if (!fs::exists(builtModule())) GTEST_SKIP() << "this build has no Qt module";
  TempDir tree;
  const fs::path root = tree.path();
  struct Row {
    const char* name;
    const char* moduleDir;  // relative to root; nullptr: no module
    bool loads;
  };
  const std::vector<Row> rows = {
      {"beside the executable", "bin", true},
      {"in ../lib/tarnwick", "lib/tarnwick", true},
      {"nowhere", nullptr, false},
  };
  for (const auto& row : rows) {
    fs::remove_all(root / "bin");
    fs::remove_all(root / "lib");
    const std::string tarnwick = installExecutable(root / "bin");
    if (row.moduleDir) {
      fs::create_directories(root / row.moduleDir);
      fs::create_symlink(builtModule(), root / row.moduleDir / "libtarnwick_qt.so");
    }
    auto result = runMerged(tarnwick, kUnreachableDisplay);
    EXPECT_EQ(result.status, 1) << row.name;
    if (row.loads) {
      EXPECT_EQ(result.out.rfind("tarnwick: cannot open the display: ", 0), 0u) << row.name << ": " << result.out;
      EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << row.name << ": " << result.out;
    } else {
      const std::string expected = "tarnwick: cannot load the tray module (tried " + (root / "bin").string() +
                                   "/libtarnwick_qt.so, " + (root / "bin").string() +
                                   "/../lib/tarnwick/libtarnwick_qt.so): no such file\n";
      EXPECT_EQ(result.out, expected) << row.name;
    }
  }
}

}  // namespace
