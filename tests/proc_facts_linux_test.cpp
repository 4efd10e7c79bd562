#include "core/process/proc_facts.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace std::string_literals;

TEST(ProcFacts, ReadsWhatARestartNeedsFromTheTreeItIsGiven) {
  TempDir proc, work;
  const std::string status = "Name:\tnode\nUid:\t1000\t0\t0\t0\nGid:\t100\t100\t100\t100\nGroups:\t\n";
  proc.write("10/cmdline", "node\0server.js\0--title\0my app\0\0"s);
  proc.write("10/environ", "HOME=/home/dev\0PATH=/opt/bin:/usr/bin\0PATHX=no\0"s);
  proc.write("10/status", status);
  ::symlink(work.path().c_str(), (proc.path() + "/10/cwd").c_str());
  proc.write("11/cmdline", "npm run dev\0\0\0\0\0\0"s);
  proc.write("11/status", "Uid:\t1000\t1000\t1000\nGid:\t1\t1\t1\t1\n");
  ::symlink((work.path() + " (deleted)").c_str(), (proc.path() + "/11/cwd").c_str());
  proc.write("12/cmdline", "");  // a kernel thread or a zombie
  proc.write("12/file", "");
  ::symlink((proc.path() + "/12/file").c_str(), (proc.path() + "/12/cwd").c_str());
  proc.write("self/status", status);
  ProcFacts facts(proc.path());

  auto node = facts.restartFacts(10);
  EXPECT_EQ(node.arguments, (std::vector<std::string>{"node", "server.js", "--title", "my app", ""}));
  EXPECT_EQ(node.directory, work.path());
  EXPECT_EQ(node.searchPath, "/opt/bin:/usr/bin");
  EXPECT_EQ(node.credentials, (Credentials{{1000, 0, 0, 0}, {100, 100, 100, 100}}));
  auto title = facts.restartFacts(11);
  EXPECT_EQ(title.arguments, std::vector<std::string>{"npm run dev"}) << "the padding is no argument";
  EXPECT_EQ(title.directory, std::nullopt) << "deleted";
  EXPECT_EQ(title.searchPath, std::nullopt);
  EXPECT_EQ(title.credentials, std::nullopt) << "three user IDs";
  auto thread = facts.restartFacts(12);
  EXPECT_TRUE(thread.arguments.empty());
  EXPECT_EQ(thread.directory, std::nullopt) << "not a directory";
  EXPECT_TRUE(facts.restartFacts(13).arguments.empty());
  EXPECT_EQ(facts.ownCredentials(), node.credentials);
}

}  // namespace
