#include "integrations/autostart_entry.h"
#include "integrations/desktop_entry.h"
#include "integrations/login_item.h"
#include "integrations/login_item_text.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// The entry's Exec line starts exactly the given path, and desktop-file-validate,
// where installed, finds nothing to say about the entry.
TEST(DesktopEntryTextTest, ExecStartsExactlyTheGivenPath) {
  const bool validate = fs::exists("/usr/bin/desktop-file-validate");
  TempDir dir;
  for (const char* path : {"/home/a b/My \"Apps\"/tarnwick", "/opt/$HOME/`id`/100%/%f %U/tarnwick",
                           "/opt/back\\slash\\", "/opt/tab\there/'single'/tarnwick"}) {
    auto text = LoginItem::desktopEntryText(path);
    auto exec = DesktopEntry::value(text, "Exec");
    ASSERT_TRUE(exec) << path;
    // The target comes last when the entry has no place for it.
    EXPECT_EQ(DesktopEntry::execCommand(*exec, "target"), (std::vector<std::string>{path, "target"})) << *exec;
    if (!validate) continue;
    auto result = runProgram({"/usr/bin/desktop-file-validate", dir.write("tarnwick.desktop", text)});
    EXPECT_EQ(result.status, 0) << path << "\n" << result.out;
    EXPECT_EQ(result.out, "") << path;
  }
}

// Only the main group's keys count, comments are skipped, and CRLF line ends
// read as LF ones.
TEST(DesktopEntryTextTest, ValuesAreTheMainGroupsOwn) {
  const std::string text =
      "Exec=outside\n[Desktop Entry]\r\n#Name=comment\r\nName=main\r\n[Desktop Action new]\nIcon=x\n";
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"Exec", std::nullopt},
      {"Name", "main"},
      {"#Name", std::nullopt},
      {"Icon", std::nullopt},
  };
  for (const auto& [key, value] : cases) EXPECT_EQ(DesktopEntry::value(text, key), value) << key;
}

TEST(LaunchAgentTextTest, PathIsEscapedForXml) {
  auto text = LoginItem::launchAgentPlist("/Apps/R&D <new>/\"it's\"");
  EXPECT_NE(text.find("<string>/Apps/R&amp;D &lt;new&gt;/&quot;it&apos;s&quot;</string>"), std::string::npos) << text;
}

// The entry follows XDG_CONFIG_HOME unless that is relative. Writing goes
// through the atomic file write, tested on its own.
TEST(AutostartEntryTest, EnabledExactlyWhileTheFileExistsAndAFailedWriteSaysSo) {
  EXPECT_EQ(AutostartEntry::path("relative", "/home/me"), "/home/me/.config/autostart/com.ulmarsh.tarnwick.desktop");
  TempDir config;
  auto entry = AutostartEntry::path(config.path(), "/nowhere");
  EXPECT_EQ(entry, config.path() + "/autostart/com.ulmarsh.tarnwick.desktop");
  EXPECT_FALSE(AutostartEntry::exists(entry));
  ASSERT_TRUE(AutostartEntry::write(entry, "/opt/a b/tarnwick"));  // the directory made on the way
  EXPECT_EQ(readFile(entry), LoginItem::desktopEntryText("/opt/a b/tarnwick"));
  EXPECT_TRUE(AutostartEntry::exists(entry));
  AutostartEntry::remove(entry);
  EXPECT_FALSE(AutostartEntry::exists(entry));

  fs::remove(fs::path(entry).parent_path());
  config.write("autostart", "a file where the directory should be");
  EXPECT_FALSE(AutostartEntry::write(entry, "/opt/tarnwick"));
  EXPECT_FALSE(AutostartEntry::exists(entry));
}

TEST(LoginBinaryTest, InstalledCopyWinsElseTheResolvedExecutable) {
  TempDir home;
  auto real = home.write("build/tarnwick", "");
  fs::create_symlink(real, home.path() + "/link");
  EXPECT_EQ(LoginItem::binaryPath(home.path(), home.path() + "/link"), fs::canonical(real).string());
  auto installed = home.write(".local/bin/tarnwick-menubar", "");
  EXPECT_EQ(LoginItem::binaryPath(home.path(), home.path() + "/link"), installed);
}
