#include "integrations/port_labels.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"

#include <gtest/gtest.h>

TEST(PortLabelsTest, SetTrimsSpacesAndTabsAndBlankRemoves) {
  MemoryPreferences store;
  // Absent stored: the port has no label afterwards.
  const std::pair<std::optional<std::string>, std::optional<std::string>> rows[] = {
      {"  web app\t", "web app"},
      {"line\n", "line\n"},  // line breaks are kept
      {" \t ", std::nullopt},
      {std::nullopt, std::nullopt},
      {std::string("bad\xff"), "previous"},  // not UTF-8: the store is left alone
  };
  for (const auto& [label, stored] : rows) {
    PortLabels::set(store, "previous", 3000);
    PortLabels::set(store, label, 3000);
    const auto labels = PortLabels::all(store);
    const auto now = labels.contains("3000") ? std::optional(labels.at("3000")) : std::nullopt;
    EXPECT_EQ(now, stored) << label.value_or("(none)");
  }
}

TEST(PortLabelsTest, UndecodableValueReadsEmptyAndStaysUntilNextWrite) {
  MemoryPreferences store;
  const char* bad[] = {"not json", "[1,2]", R"({"3000":5})", R"({"3000":"web","80":null})", "\"text\"", ""};
  for (const char* stored : bad) {
    store.setText("portLabels", stored);
    EXPECT_TRUE(PortLabels::all(store).empty()) << stored;
    EXPECT_EQ(store.text("portLabels"), stored);
    PortLabels::set(store, "api", 8080);
    EXPECT_EQ(PortLabels::all(store), (LabelMap{{"8080", "api"}})) << stored;
  }
}

TEST(WatchedPortsTest, ReadsNumbersSkippingTheRestAndWritesJoinedDecimals) {
  MemoryPreferences store;
  const std::pair<const char*, std::set<int64_t>> rows[] = {
      {"3000,,x,5173", {3000, 5173}},
      {"3000, 5173", {3000}},
      {"+80,-1,80", {80, -1}},         {"99999999999999999999,22", {22}}};
  for (const auto& [stored, ports] : rows) {
    store.setText("watchedPorts", stored);
    EXPECT_EQ(PortNotifier::watched(store), ports) << stored;
  }
  PortNotifier::setWatched(store, {5173, 3000});
  EXPECT_EQ(store.text("watchedPorts"), "3000,5173");
  PortNotifier::setWatched(store, {});
  EXPECT_EQ(store.text("watchedPorts"), "");
  store.remove("watchedPorts");
  EXPECT_TRUE(PortNotifier::watched(store).empty());
}
