#include "core/process/process_facts_linux.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace std::string_literals;

TEST(ProcProcessFacts, ReadsWhatARestartNeedsFromTheTreeItIsGiven) {
  TempDir proc, home;
  // A folder whose name no text shows as it is: it must come back byte for byte.
  const std::string work = home.path() + "/tab\there back\\slash \xff\xfe";
  std::filesystem::create_directory(work);
  const std::string status = "Name:\tnode\nUid:\t1000\t0\t0\t0\nGid:\t100\t100\t100\t100\nGroups:\t\n";
  proc.write("10/cmdline", "node\0server.js\0--title\0my app\0\0"s);
  proc.write("10/environ", "HOME=/home/dev\0PATH=/opt/bin:/usr/bin\0PATHX=no\0"s);
  proc.write("10/status", status);
  ::symlink(work.c_str(), (proc.path() + "/10/cwd").c_str());
  proc.write("11/cmdline", "npm run dev\0\0\0\0\0\0"s);
  proc.write("11/status", "Uid:\t1000\t1000\t1000\nGid:\t1\t1\t1\t1\n");
  ::symlink((work + " (deleted)").c_str(), (proc.path() + "/11/cwd").c_str());
  proc.write("12/cmdline", "");  // a kernel thread or a zombie
  proc.write("12/file", "");
  ::symlink((proc.path() + "/12/file").c_str(), (proc.path() + "/12/cwd").c_str());
  proc.write("self/status", status);
  ProcProcessFacts facts(proc.path());

  auto fieldsOf = [&](int32_t pid) {
    auto f = facts.restartFacts(pid);
    return std::tuple(f.arguments, f.directory, f.searchPath, f.credentials);
  };
  using Fields = decltype(fieldsOf(0));
  const Credentials node{{1000, 0, 0, 0}, {100, 100, 100, 100}};
  EXPECT_EQ(fieldsOf(10),
            (Fields{{"node", "server.js", "--title", "my app", ""}, work, "/opt/bin:/usr/bin", node}));
  // The padding is no argument, the folder is deleted, and there are three user IDs.
  EXPECT_EQ(fieldsOf(11), (Fields{{"npm run dev"}, std::nullopt, std::nullopt, std::nullopt}));
  EXPECT_EQ(fieldsOf(12), Fields{}) << "no arguments, and its folder is no directory";
  EXPECT_EQ(fieldsOf(13), Fields{});
  EXPECT_EQ(facts.ownCredentials(), node);
}
