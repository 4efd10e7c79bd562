#include "integrations/port_labels.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"

#include <gtest/gtest.h>

namespace {

class StoredPreferencesTest : public ::testing::Test {
 protected:
  std::shared_ptr<MemoryPreferences> store = std::make_shared<MemoryPreferences>();
};

using PortLabelsTest = StoredPreferencesTest;
using WatchedPortsTest = StoredPreferencesTest;

TEST_F(PortLabelsTest, SetTrimsSpacesAndTabsAndBlankRemoves) {
  struct Row {
    std::optional<std::string> label;
    std::optional<std::string> stored;  // absent: the port has no label afterwards
  };
  const Row rows[] = {
      {"  web app\t", "web app"},
      {"line\n", "line\n"},  // line breaks are kept
      {" \t ", std::nullopt},
      {std::nullopt, std::nullopt},
  };
  for (const auto& row : rows) {
    PortLabels::set(*store, "previous", 3000);
    PortLabels::set(*store, row.label, 3000);
    auto labels = PortLabels::all(*store);
    auto it = labels.find("3000");
    if (row.stored) {
      ASSERT_NE(it, labels.end()) << *row.label;
      EXPECT_EQ(it->second, *row.stored);
    } else {
      EXPECT_EQ(it, labels.end());
    }
  }
}

TEST_F(PortLabelsTest, UndecodableValueReadsEmptyAndStaysUntilNextWrite) {
  const char* bad[] = {"not json", "[1,2]", R"({"3000":5})", R"({"3000":"web","80":null})", "\"text\"", ""};
  for (const char* stored : bad) {
    store->setText("portLabels", stored);
    EXPECT_TRUE(PortLabels::all(*store).empty()) << stored;
    EXPECT_EQ(store->text("portLabels"), stored);
    PortLabels::set(*store, "api", 8080);
    EXPECT_EQ(PortLabels::all(*store), (LabelMap{{"8080", "api"}})) << stored;
  }
}

TEST_F(PortLabelsTest, LabelThatIsNotUtf8LeavesStoreAlone) {
  PortLabels::set(*store, "web", 3000);
  PortLabels::set(*store, std::string("bad\xff"), 4000);
  EXPECT_EQ(PortLabels::all(*store), (LabelMap{{"3000", "web"}}));
}

TEST_F(WatchedPortsTest, ReadsNumbersAndSkipsTheRest) {
  struct Row {
    const char* stored;
    std::set<int64_t> ports;
  };
  const Row rows[] = {
      {"3000,,x,5173", {3000, 5173}},
      {"3000, 5173", {3000}},
      {"+80,-1,80", {80, -1}},
      {"99999999999999999999,22", {22}},
  };
  for (const auto& row : rows) {
    store->setText("watchedPorts", row.stored);
    EXPECT_EQ(PortNotifier::watched(*store), row.ports) << row.stored;
  }
  store->remove("watchedPorts");
  EXPECT_TRUE(PortNotifier::watched(*store).empty());
}

TEST_F(WatchedPortsTest, AssignWritesJoinedDecimalsAndEmptyText) {
  PortNotifier::setWatched(*store, {5173, 3000});
  EXPECT_EQ(store->text("watchedPorts"), "3000,5173");
  PortNotifier::setWatched(*store, {});
  EXPECT_EQ(store->text("watchedPorts"), "");
}

}  // namespace
