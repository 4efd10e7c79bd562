#include "core/system/atomic_file.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <csignal>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
using PortCore::FileWrite;

namespace {

// Every row writes "new" to <dir>/target after `prepare` set the scene. A file
// outside the directory, "victim", is what a planted link points at: it must
// keep its content whatever happens.
TEST(AtomicFile, ReplacesTheTargetOrLeavesEverythingAsItWas) {
  // `prepare` gives the target; then the outcome, the target's content afterwards
  // ("": it is no file) and the names in the directory afterwards.
  using Prepare = std::function<fs::path(const TempDir& dir, const std::string& victim)>;
  const std::string tmp = "target.tmp." + std::to_string(::getpid());
  const std::vector<std::tuple<const char*, Prepare, FileWrite, std::string, std::set<std::string>>> rows = {
      {"new file", [](auto& dir, auto&) { return dir.path() + "/target"; }, FileWrite::Written, "new", {"target"}},
      {"link at the temporary name used before",
       [&](auto& dir, auto& victim) {
         fs::create_symlink(victim, dir.path() + "/" + tmp);
         return dir.write("target", "old content, longer than the new");
       },
       FileWrite::Written, "new", {"target", tmp}},
      {"the target itself a link: replaced, not written through",
       [](auto& dir, auto& victim) {
         fs::create_symlink(victim, dir.path() + "/target");
         return dir.path() + "/target";
       },
       FileWrite::Written, "new", {"target"}},
      {"missing directory", [](auto& dir, auto&) { return dir.path() + "/missing/target"; },
       FileWrite::NoSuchDirectory, "", {}},
      {"a directory at the target: the temporary is removed",
       [](auto& dir, auto&) {
         fs::create_directories(dir.path() + "/target/inside");
         return dir.path() + "/target";
       },
       FileWrite::Failed, "", {"target"}},
  };
  for (const auto& [name, prepare, outcome, content, names] : rows) {
    TempDir outside, dir;
    const std::string victim = outside.write("victim", "precious");
    const fs::path target = prepare(dir, victim);
    EXPECT_EQ(PortCore::writeFileAtomically(target, "new"), outcome) << name;
    EXPECT_EQ(fs::is_symlink(target) || !fs::is_regular_file(target) ? "" : readFile(target), content) << name;
    EXPECT_EQ(readFile(victim), "precious") << name;
    std::set<std::string> inDirectory;
    for (const auto& entry : fs::directory_iterator(dir.path())) inDirectory.insert(entry.path().filename());
    EXPECT_EQ(inDirectory, names) << name;
  }
  // More than this process may write (EFBIG after a short write): the target keeps its content.
  TempDir dir;
  const std::string target = dir.write("target", "old");
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 2;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const FileWrite outcome = PortCore::writeFileAtomically(target, "new content");
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(outcome, FileWrite::Failed);
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << "a temporary is left";
}

}  // namespace
