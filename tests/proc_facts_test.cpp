#include "core/proc_facts.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace std::string_literals;

TEST(ProcFacts, ReadsCommandLinesFromTheTreeItIsGiven) {
  TempDir proc;
  proc.write("10/cmdline", "node\0server.js\0--title\0my app\0"s);
  proc.write("11/cmdline", "npm run dev\0\0\0\0\0\0"s);
  proc.write("12/cmdline", "");  // a kernel thread or a zombie
  ProcFacts facts(proc.path());
  EXPECT_EQ(facts.commandLine(10), "node server.js --title 'my app'");
  EXPECT_EQ(facts.commandLine(11), "npm run dev");
  EXPECT_EQ(facts.commandLine(12), std::nullopt);
  EXPECT_EQ(facts.commandLine(13), std::nullopt);
  struct stat info{};
  ASSERT_EQ(::stat((proc.path() + "/10").c_str(), &info), 0);
  EXPECT_EQ(facts.owner(10), info.st_uid);
  EXPECT_EQ(facts.owner(13), std::nullopt);
}

}  // namespace
