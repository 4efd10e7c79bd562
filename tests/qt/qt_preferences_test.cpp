#include "integrations/qt/ini_preferences.h"
#include "integrations/qt/qt_preferences.h"
#include "support/test_process.h"

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesIn(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(directory)) names.push_back(item.path().filename().string());
  return names;
}

struct StoreFile {
  TempDir dir;
  fs::path path = fs::path(dir.path()) / "tarnwick.conf";
  std::shared_ptr<Preferences> open() const { return makeQtPreferences(QString::fromStdString(path.string())); }
};

TEST(QtPreferences, TextsNumbersAndBooleansRoundTrip) {
  StoreFile file;
  auto store = file.open();
  const std::string texts[] = {"tr", "", "3", "-1.5", "true", "@Variant(x)", "@@", "a, b", "\"quoted\"",
                               "back\\slash", "line\nbreak", "  spaced  ", ";not a comment", "#nor this",
                               "key=value", "[section]", "Türkçe ığüşöç", "{\"3000\":\"web\"}", "3000,5173"};
  const double numbers[] = {3, -0.0, 0.1, 1.0 / 3, -42.25, 5e-324, std::numeric_limits<double>::max()};
  for (const auto& text : texts) {
    store->setText("value", text);
    EXPECT_EQ(file.open()->text("value"), text) << text;
    EXPECT_EQ(store->number("value"), std::nullopt) << text;
    EXPECT_EQ(store->boolean("value"), std::nullopt) << text;
  }
  for (double number : numbers) {
    store->setNumber("value", number);
    EXPECT_EQ(file.open()->number("value"), number) << number;
    EXPECT_EQ(store->text("value"), std::nullopt) << number;
  }
  for (double number : {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
    store->setNumber("value", number);
    EXPECT_EQ(store->number("value"), std::nullopt) << number;
  }
  for (bool boolean : {true, false}) {
    store->setBoolean("value", boolean);
    EXPECT_EQ(file.open()->boolean("value"), boolean);
    EXPECT_EQ(store->text("value"), std::nullopt);
    EXPECT_EQ(store->number("value"), std::nullopt);
  }
  store->remove("value");
  EXPECT_EQ(store->boolean("value"), std::nullopt);
  EXPECT_EQ(store->text("missing"), std::nullopt);
}

TEST(QtPreferences, KeysThatCannotBeStoredAreRefused) {
  StoreFile file;
  auto store = file.open();
  store->setText("kept", "yes");
  for (const char* key : {"", "a/b", "/", "a\\b"}) {
    store->setText(key, "x");
    EXPECT_EQ(store->text(key), std::nullopt) << key;
    store->remove(key);
  }
  EXPECT_EQ(store->text("kept"), "yes");
}

TEST(QtPreferences, ValuesOfTheWrongTypeInTheFileReadAsAbsent) {
  StoreFile file;
  file.dir.write("tarnwick.conf",
                 "[number]\nrefreshInterval=abc\npanelMaxHeight=true\nlist=1, 2\n"
                 "[boolean]\nconfirmBeforeKill=1\nstartAtLogin=@Variant(\\0\\0\\0\\x1\\x1)\nshown=True\n"
                 "[text]\nappLanguage=@ByteArray(tr)\nhiddenPorts=80, 443\nportLabels=@Invalid()\n"
                 "[General]\nwatchedPorts=3000\n");
  auto store = file.open();
  for (const char* key : {"refreshInterval", "panelMaxHeight", "list"}) EXPECT_EQ(store->number(key), std::nullopt);
  for (const char* key : {"confirmBeforeKill", "startAtLogin", "shown"}) EXPECT_EQ(store->boolean(key), std::nullopt);
  for (const char* key : {"appLanguage", "hiddenPorts", "portLabels", "watchedPorts"})
    EXPECT_EQ(store->text(key), std::nullopt) << key;
}

// What cannot be made out reads as absent; what can is kept, and the next
// write keeps it too.
TEST(QtPreferences, ACorruptFileIsReadForWhatItHoldsAndReplacedOnlyByTheNextWrite) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
  struct Case {
    const char* name;
    std::string content;
    std::optional<std::string> language;
  };
  const Case cases[] = {
      {"binary garbage", garbage, std::nullopt},
      {"truncated", "[text]\nappLangu", std::nullopt},
      {"a value without a key", "[text]\n=tr\n", std::nullopt},
      {"a NUL inside the key", std::string("[text]\napp\0Language=tr\n", 24), std::nullopt},
      {"garbage before a good line", garbage + "\n[text]\nappLanguage=tr\n", "tr"},
      {"an unclosed section header", "[text\nappLanguage=tr\n", "tr"},
  };
  for (const auto& c : cases) {
    StoreFile file;
    file.dir.write("tarnwick.conf", c.content);
    auto before = fs::last_write_time(file.path);
    auto store = file.open();
    EXPECT_EQ(store->text("appLanguage"), c.language) << c.name;
    EXPECT_EQ(store->number("refreshInterval"), std::nullopt) << c.name;
    EXPECT_EQ(readFile(file.path), c.content) << c.name << ": reading rewrote the file";
    EXPECT_EQ(fs::last_write_time(file.path), before) << c.name;

    store->setNumber("refreshInterval", 5);
    auto later = file.open();
    EXPECT_EQ(later->number("refreshInterval"), 5) << c.name;
    EXPECT_EQ(later->text("appLanguage"), c.language) << c.name;
  }
}

// Editors and QSettings itself replace the file by rename. The store says so
// and reads the new file, whether it was first created that way or replaced.
TEST(QtPreferences, AFileReplacedFromOutsideReachesTheObservers) {
  StoreFile file;
  auto store = file.open();
  int fired = 0;
  store->subscribe([&] { ++fired; });
  const std::pair<const char*, std::optional<std::string>> edits[] = {
      {"[text]\nwatchedPorts=\"3000,5173\"\n", "3000,5173"},
      {"[text]\nwatchedPorts=8080\n", "8080"},
      {"[number]\nwatchedPorts=8080\n", std::nullopt},
  };
  for (const auto& [content, watched] : edits) {
    const int before = fired;
    file.dir.write("edit.tmp", content);
    fs::rename(fs::path(file.dir.path()) / "edit.tmp", file.path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired > before && store->text("watchedPorts") == watched; }, 10000))
        << content;
  }
}

TEST(QtPreferences, TheUsersStoreIsTheXdgConfigFile) {
  auto configHome = qEnvironmentVariable("XDG_CONFIG_HOME").toStdString();
  ASSERT_FALSE(configHome.empty());
  auto store = makeQtPreferences();
  store->setText("storeLocationProbe", "here");
  fs::path expected = fs::path(configHome) / "tarnwick/tarnwick.conf";
  EXPECT_NE(readFile(expected).find("storeLocationProbe=here"), std::string::npos);
  EXPECT_EQ(makeQtPreferences()->text("storeLocationProbe"), "here");
}

// A writer in another process, killed at any moment, leaves a whole file: every
// snapshot taken while it writes, and the file after its death, hold one
// complete value, and a store opened before reads what the writer left.
TEST(QtPreferences, AWriterKilledMidWriteLeavesAWholeFile) {
  const size_t size = 200000;
  const char* env = std::getenv("TARNWICK_TEST_PREFS_CHILD");  // set for the writer below
  const std::string mode = env ? env : "";
  if (mode.rfind("loop:", 0) == 0) {
    auto store = makeQtPreferences(QString::fromStdString(mode.substr(5)));
    for (int i = 0;; ++i) store->setText("big", std::string(size, i % 2 ? 'b' : 'a'));
  }
  StoreFile file;
  auto store = file.open();
  store->setText("big", std::string(size, 'c'));
  auto whole = [&](const std::string& content) {
    for (char c : {'a', 'b', 'c'})
      if (content.find("big=" + std::string(size, c) + "\n") != std::string::npos) return true;
    return false;
  };
  // The writer is this binary again, in the mode above. Its temporary files go
  // beside the store, so that killed before it could clean up it leaves nothing behind.
  auto child = TestProcess::start(
      {fs::read_symlink("/proc/self/exe").string(), "--gtest_filter=QtPreferences.AWriterKilledMidWriteLeavesAWholeFile"},
      {"", {"TARNWICK_TEST_PREFS_CHILD=loop:" + file.path.string(), "TMPDIR=" + file.dir.path()}});
  auto first = fs::last_write_time(file.path);
  ASSERT_TRUE(waitUntil([&] { return fs::last_write_time(file.path) != first; }, std::chrono::seconds(60)));
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(whole(readFile(file.path))) << "snapshot " << i;
  child.killGroup();
  EXPECT_TRUE(whole(readFile(file.path)));
  auto written = store->text("big");
  ASSERT_TRUE(written);
  EXPECT_NE(*written, std::string(size, 'c')) << "the writer's values were not read";

  // The dead writer's lock is stale, not a reason to stop writing.
  store->setText("after", "yes");
  EXPECT_EQ(file.open()->text("after"), "yes");
  EXPECT_TRUE(whole(readFile(file.path)));
  for (const auto& name : filesIn(file.dir.path())) EXPECT_EQ(name.rfind("tarnwick.conf.", 0), std::string::npos) << name;
}

TEST(QtPreferences, ManyThreadsShareOneStore) {
  StoreFile file;
  auto store = file.open();
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t)
    threads.emplace_back([&, t] {
      std::string key = "key" + std::to_string(t);
      for (int i = 0; i < 20; ++i) {
        store->setNumber(key, i);
        EXPECT_EQ(store->number(key), i);
        store->setText("shared", key);
        EXPECT_TRUE(store->text("shared").has_value());
      }
    });
  for (auto& thread : threads) thread.join();
  auto later = file.open();
  for (int t = 0; t < 6; ++t) EXPECT_EQ(later->number("key" + std::to_string(t)), 19);
  EXPECT_EQ(filesIn(file.dir.path()), std::vector<std::string>{"tarnwick.conf"});
}

}  // namespace
