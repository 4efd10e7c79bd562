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
  // A copy of the executable, since the module is found from its real location.
  const std::string tarnwick = (root / "bin/tarnwick").string();
  fs::create_directories(root / "bin");
  fs::copy_file(tarnwickPath(), tarnwick);
  const auto run = [&] {
    auto result = runMerged(tarnwick, kUnreachableDisplay);
    EXPECT_EQ(result.status, 1);
    return result.out;
  };
  const std::string notFound = "tarnwick: cannot load the tray module (tried " + (root / "bin").string() +
                               "/libtarnwick_qt.so, " + (root / "bin").string() +
                               "/../lib/tarnwick/libtarnwick_qt.so): no such file\n";
  EXPECT_EQ(run(), notFound);
  for (const char* moduleDir : {"lib/tarnwick", "bin"}) {
    fs::create_directories(root / moduleDir);
    fs::create_symlink(builtModule(), root / moduleDir / "libtarnwick_qt.so");
    // The one line is Qt's failure from inside the loaded module.
    auto out = run();
    EXPECT_EQ(out.rfind("tarnwick: cannot open the display: ", 0), 0u) << moduleDir << ": " << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    fs::remove(root / moduleDir / "libtarnwick_qt.so");
  }
}

}  // namespace
