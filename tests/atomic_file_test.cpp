#include "core/atomic_file.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;
using PortCore::FileWrite;

namespace {

std::set<std::string> namesIn(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename());
  return names;
}

// Every row writes "new" to <dir>/target after `prepare` set the scene. A file
// outside the directory, "victim", is what a planted link points at: it must
// keep its content whatever happens.
TEST(AtomicFile, ReplacesTheTargetOrLeavesEverythingAsItWas) {
  struct Row {
    const char* name;
    std::function<fs::path(const TempDir& dir, const std::string& victim)> prepare;  // gives the target
    FileWrite outcome;
    const char* content;  // of the target afterwards; nullptr: it does not exist
    std::set<std::string> names;  // in the directory afterwards
  };
  const std::vector<Row> rows = {
      {"new file", [](const TempDir& dir, const std::string&) { return dir.path() + "/target"; },
       FileWrite::Written, "new", {"target"}},
      {"link at the temporary name used before",
       [](const TempDir& dir, const std::string& victim) {
         fs::path target = dir.write("target", "old content, longer than the new");
         fs::create_symlink(victim, dir.path() + "/" + ("target.tmp." + std::to_string(::getpid())));
         return target;
       },
       FileWrite::Written, "new", {"target", "target.tmp." + std::to_string(::getpid())}},
      {"the target itself a link: replaced, not written through",
       [](const TempDir& dir, const std::string& victim) {
         fs::create_symlink(victim, dir.path() + "/target");
         return dir.path() + "/target";
       },
       FileWrite::Written, "new", {"target"}},
      {"missing directory",
       [](const TempDir& dir, const std::string&) { return dir.path() + "/missing/target"; },
       FileWrite::NoSuchDirectory, nullptr, {}},
      {"a directory at the target: the temporary is removed",
       [](const TempDir& dir, const std::string&) {
         fs::create_directories(dir.path() + "/target/inside");
         return dir.path() + "/target";
       },
       FileWrite::Failed, nullptr, {"target"}},
  };
  for (const auto& row : rows) {
    TempDir outside;
    TempDir dir;
    const std::string victim = outside.write("victim", "precious");
    const fs::path target = row.prepare(dir, victim);
    EXPECT_EQ(PortCore::writeFileAtomically(target, "new"), row.outcome) << row.name;
    if (row.content) {
      EXPECT_EQ(readFile(target), row.content) << row.name;
      EXPECT_FALSE(fs::is_symlink(target)) << row.name;
    } else {
      EXPECT_FALSE(fs::is_regular_file(target)) << row.name;
    }
    EXPECT_EQ(readFile(victim), "precious") << row.name;
    EXPECT_EQ(namesIn(dir.path()), row.names) << row.name;
  }
}

}  // namespace
