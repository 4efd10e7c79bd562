#include "integrations/qt/qt_preferences.h"
#include "support/test_process.h"

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

struct StoreFile {
  TempDir dir;
  fs::path path = fs::path(dir.path()) / "tarnwick.conf";
  std::shared_ptr<Preferences> open() const { return makeQtPreferences(QString::fromStdString(path.string())); }
};

// What cannot be made out, or is of another type, reads as absent; what can is
// kept, reading never rewrites the file, and the next write keeps what was read.
// A port list typed without quotes reads as QSettings' list type, taken as the
// text it was typed as; elsewhere a list is of another type.
TEST(QtPreferences, ACorruptFileIsReadForWhatItHoldsAndReplacedOnlyByTheNextWrite) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
  const std::string wrongTypes =
      "[number]\nrefreshInterval=abc\npanelMaxHeight=true\n[boolean]\nconfirmBeforeKill=1\n"
      "startAtLogin=@Variant(\\0\\0\\0\\x1\\x1)\nshown=True\n[text]\nappLanguage=@ByteArray(tr)\n"
      "hiddenPorts=@ByteArray(80)\nportLabels=@Invalid()\n[General]\nwatchedPorts=3000\n";
  struct Case {
    std::string content;
    std::optional<std::string> language, watched, hidden;
  };
  const Case cases[] = {
      {wrongTypes, std::nullopt, std::nullopt, std::nullopt},
      {"[text]\nappLangu", std::nullopt, std::nullopt, std::nullopt},
      {garbage + "\n[text]\nappLanguage=tr\n", "tr", std::nullopt, std::nullopt},
      {"[text]\nwatchedPorts=3000,5173\nhiddenPorts=80, 443\nappLanguage=tr, en\n", std::nullopt, "3000,5173",
       "80,443"},
  };
  for (const auto& [content, language, watched, hidden] : cases) {
    StoreFile file;
    file.dir.write("tarnwick.conf", content);
    auto store = file.open();
    EXPECT_EQ(store->text("appLanguage"), language);
    for (const char* key : {"panelMaxHeight", "confirmBeforeKill", "startAtLogin", "shown"})
      EXPECT_FALSE(store->number(key) || store->boolean(key)) << key;
    EXPECT_EQ(store->text("portLabels"), std::nullopt);
    EXPECT_EQ(store->text("watchedPorts"), watched);
    EXPECT_EQ(store->text("hiddenPorts"), hidden);
    EXPECT_EQ(readFile(file.path), content) << "reading rewrote the file";
    store->setNumber("refreshInterval", 5);
    const auto later = file.open();
    EXPECT_EQ(later->number("refreshInterval"), 5.0);
    EXPECT_EQ(later->text("appLanguage"), language);
    EXPECT_EQ(later->text("watchedPorts"), watched);
  }
}

// Editors and QSettings itself replace the file by rename. The store says so
// and reads the new file, whether it was first created that way or replaced;
// its own writes reach the observers at once.
TEST(QtPreferences, OwnWritesAndAFileReplacedFromOutsideReachTheObservers) {
  StoreFile file;
  auto store = file.open();
  int fired = 0;
  store->subscribe([&] { ++fired; });
  const std::pair<const char*, std::optional<std::string>> edits[] = {
      {"[text]\nwatchedPorts=\"3000,5173\"\n", "3000,5173"},
      {"[number]\nwatchedPorts=8080\n", std::nullopt},
  };
  for (const auto& [content, watched] : edits) {
    const int before = fired;
    file.dir.write("edit.tmp", content);
    fs::rename(fs::path(file.dir.path()) / "edit.tmp", file.path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired > before && store->text("watchedPorts") == watched; }, 10000))
        << content;
  }
  const int before = fired;
  store->setBoolean("shown", true);
  EXPECT_GT(fired, before);
}

}  // namespace
