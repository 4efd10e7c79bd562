// The panel's derived lists: search, exposed filter, hidden ports, sections,
// list height, summary and settings.
#include "panel_fakes.h"

#include <gtest/gtest.h>

namespace {

using PortListModelTest = PanelTest;

std::vector<PortEntry> searchEntries() {
  PortEntry web = makeEntry(3000, 0, "node");
  web.parentChain = {"npm", "zsh"};
  web.cwd = "/home/alice/web";
  web.project = "web";
  PortEntry api = makeEntry(8030, 0, "python3", "*");
  PortEntry svc = makeEntry(5000, 0, "svc30");
  PortEntry db = makeEntry(5432, 0, "postgres", "0.0.0.0", "_postgres");
  PortEntry nginx = makeEntry(80, 0, "nginx", "[::]", "root");
  PortEntry izmir = makeEntry(7000, 0, "İZMİR", "[::1]");
  return {web, api, svc, db, nginx, izmir, makeEntry(9999, 0, "ruby")};
}

struct FilterCase {
  const char* name;
  QString search;
  bool exposedOnly;
  std::string hidden;
  std::vector<int64_t> expected;
};

TEST_F(PortListModelTest, FiltersBySearchExposureAndHiddenPorts) {
  fixture.services->storedLabels = {{"9999", "Payments API"}};
  const FilterCase cases[] = {
      {"port digits and command", "30", false, "", {3000, 8030, 5000}},
      {"capitals match lower-case command", "NODE", false, "", {3000}},
      {"last of the chain is searched", "zsh", false, "", {3000}},
      {"inner chain names are not", "npm", false, "", {}},
      {"project", "WEB", false, "", {3000}},
      {"label", "payments", false, "", {9999}},
      {"dotted capital I", "İzmİr", false, "", {7000}},
      {"exposed only", "", true, "", {8030, 5432, 80}},
      {"hidden ports", "", false, "3000,80", {8030, 5000, 5432, 7000, 9999}},
      {"hidden ports with junk", "", true, " 8030,x,5432", {8030, 80}},
  };
  auto model = fixture.modelWith(searchEntries());
  for (const FilterCase& c : cases) {
    model->setSearchText(c.search);
    model->setExposedOnly(c.exposedOnly);
    model->setHiddenPortsRaw(QString::fromStdString(c.hidden));
    EXPECT_EQ(portsOf(model->filtered()), c.expected) << c.name;
  }
}

// The counts take the whole scan, whatever is hidden or searched.
TEST_F(PortListModelTest, SplitsSectionsAtTheDevRangeKeepingOrderAndCountsTheScan) {
  auto model = fixture.modelWith({makeEntry(10000), makeEntry(1024), makeEntry(1023, 0, "nginx", "*"), makeEntry(9999),
                                  makeEntry(80), makeEntry(3000)});
  EXPECT_EQ(portsOf(model->devPorts()), (std::vector<int64_t>{1024, 9999, 3000}));
  EXPECT_EQ(portsOf(model->otherPorts()), (std::vector<int64_t>{10000, 1023, 80}));
  EXPECT_EQ(portsOf(model->orderedRows()), (std::vector<int64_t>{1024, 9999, 3000, 10000, 1023, 80}));
  model->hidePort(3000);
  model->setSearchText("nothing matches this");
  SummaryCounts counts = model->summaryCounts();
  EXPECT_EQ(std::tuple(counts.dev, counts.other, counts.exposed), std::tuple(3, 3, 1));
}

TEST_F(PortListModelTest, ListHeightShowsWholeRowsOnly) {
  struct Case {
    int dev, other;
    double maxHeight, expected;
  };
  const Case cases[] = {
      {20, 20, 480, 440},   // clamped to 7 rows under two headers
      {0, 5, 306, 306},     // exactly full
      {0, 5, 305, 254},     // one pixel short drops a row
      {0, 0, 480, 16},
      {20, 20, 239, 440},   // out of bounds: the default
  };
  for (const Case& c : cases) {
    std::vector<PortEntry> entries;
    for (int i = 0; i < c.dev; ++i) entries.push_back(makeEntry(3000 + i));
    for (int i = 0; i < c.other; ++i) entries.push_back(makeEntry(20000 + i));
    auto model = fixture.modelWith(entries);
    model->setPanelMaxHeight(c.maxHeight);
    EXPECT_EQ(model->listHeight(), c.expected) << c.dev << " dev, " << c.other << " other, max " << c.maxHeight;
  }
}

// A change made elsewhere reaches the model through the store's signal (the
// settings card's test checks that every control writes its key). The bounds
// themselves are the range rule's table; here, that reading applies them: a
// pause that would spin the loop or overflow Qt's timer.
TEST_F(PortListModelTest, SettingsFollowTheStoreWithinBounds) {
  auto model = fixture.makeModel();
  EXPECT_EQ(model->settings(), PanelSettings{});
  int signalled = 0;
  QObject::connect(model.get(), &PortListModel::settingsChanged, [&] { ++signalled; });
  auto& store = fixture.services->store;
  store.setText("appLanguage", "en");
  fixture.settle();
  EXPECT_EQ(model->appLanguage(), "en");
  EXPECT_EQ(signalled, 1);
  for (double stored : {0.0004, 3000000.0}) {
    store.setNumber("refreshInterval", stored);
    fixture.settle();
    EXPECT_EQ(model->refreshInterval(), 3) << stored;
  }
  EXPECT_EQ(signalled, 1) << "nothing that reads as a change";
  store.setNumber("refreshInterval", 0.5);
  fixture.settle();
  EXPECT_EQ(model->refreshInterval(), 0.5);
}

TEST_F(PortListModelTest, StartAtLoginCallsTheLoginItemOnlyOnChange) {
  fixture.services->loginEnabled = true;
  auto model = fixture.makeModel();
  EXPECT_TRUE(model->startAtLogin());
  model->setStartAtLogin(true);
  model->setStartAtLogin(false);
  model->setStartAtLogin(false);
  model->setStartAtLogin(true);
  EXPECT_EQ(fixture.services->log, (std::vector<std::string>{"disableLogin", "enableLogin"}));
}

}  // namespace
