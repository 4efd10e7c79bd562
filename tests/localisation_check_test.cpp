// The --t mode, run as a user would: the real executable, or a copy of it with
// a bundle of our making beside it.
#include "integrations/resource_bundle.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;

std::string buildTreeBundle() { return (fs::path(tarnwickPath()).parent_path() / L10n::kBundleName).string(); }
// The same path with its last six letters changed: as long, and never there.
std::string absentBundle() {
  auto path = buildTreeBundle();
  return path.replace(path.size() - 6, 6, "absent");
}

// A copy of the executable at `where`, its build-tree bundle path rewritten to
// one of the same length that does not exist, so that the copy finds a bundle
// only where the test puts one.
fs::path copyExecutable(const fs::path& where) {
  fs::create_directories(where.parent_path());
  std::string binary = readFile(tarnwickPath());
  std::string from = buildTreeBundle(), to = absentBundle();
  size_t replaced = 0;
  for (size_t at = binary.find(from); at != std::string::npos; at = binary.find(from, at + 1)) {
    binary.replace(at, from.size(), to);
    ++replaced;
  }
  EXPECT_GT(replaced, 0u) << "the build-tree path is not in the executable";
  std::ofstream(where, std::ios::binary) << binary;
  fs::permissions(where, fs::perms::owner_all);
  return where;
}

// The output of `--t quit` and the exit status, through a shell to see standard error too.
std::string check(const fs::path& executable) {
  auto result = runProgram({"/bin/sh", "-c", "exec \"$0\" --t quit 2>&1", executable.string()});
  return result.out + "status " + std::to_string(result.status);
}

// Beside the executable first, then the data directory; a language without
// its directory there shows NO BUNDLE, one without the key MISSING.
TEST(LocalisationCheck, TheBundleIsSoughtBesideTheExecutableThenInTheDataDirectory) {
  TempDir dir;
  fs::path root = dir.path();
  auto executable = copyExecutable(root / "bin/tarnwick");
  EXPECT_EQ(check(executable), "could not load resource bundle: from " + (root / "bin" / L10n::kBundleName).string() +
                                   " or " + absentBundle() + "\nstatus 1");
  dir.write("share/tarnwick/Tarnwick_Tarnwick.bundle/en.lproj/Localizable.strings", "\"quit\" = \"Installed\";");
  EXPECT_EQ(check(executable), "en: Installed\ntr: NO BUNDLE\nstatus 0");
  dir.write("bin/Tarnwick_Tarnwick.bundle/tr.lproj/Localizable.strings", "\"quit\" = \"Yanında\";");
  EXPECT_EQ(check(executable), "en: NO BUNDLE\ntr: Yanında\nstatus 0");
  fs::create_directories(root / "bin/Tarnwick_Tarnwick.bundle/en.lproj");
  EXPECT_EQ(check(executable), "en: MISSING\ntr: Yanında\nstatus 0");
}

}  // namespace
