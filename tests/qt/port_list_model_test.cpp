// The panel's derived lists: search, exposed filter, hidden ports, sections,
// list height, summary and settings.
#include "integrations/dev_count.h"
#include "integrations/port_notifier.h"
#include "panel_fakes.h"
#include "support/english_texts.h"
#include "support/inline_executor.h"

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
      {"nothing set", "", false, "", {3000, 8030, 5000, 5432, 80, 7000, 9999}},
      {"port digits and command", "30", false, "", {3000, 8030, 5000}},
      {"capitals match lower-case command", "NODE", false, "", {3000}},
      {"last of the chain is searched", "zsh", false, "", {3000}},
      {"inner chain names are not", "npm", false, "", {}},
      {"project", "WEB", false, "", {3000}},
      {"label", "payments", false, "", {9999}},
      {"the address is not searched", "127.0", false, "", {}},
      {"query is not trimmed", "node ", false, "", {}},
      {"dotted capital I", "İzmİr", false, "", {7000}},
      {"dotted capital I lower-cased in full", QString::fromUtf8("i\u0307zmi\u0307r"), false, "", {7000}},
      {"exposed only", "", true, "", {8030, 5432, 80}},
      {"exposed only and search", "post", true, "", {5432}},
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

TEST_F(PortListModelTest, SplitsSectionsAtTheDevRangeKeepingOrder) {
  auto model = fixture.modelWith({makeEntry(10000), makeEntry(1024), makeEntry(1023), makeEntry(9999),
                          makeEntry(80), makeEntry(3000)});
  EXPECT_EQ(portsOf(model->devPorts()), (std::vector<int64_t>{1024, 9999, 3000}));
  EXPECT_EQ(portsOf(model->otherPorts()), (std::vector<int64_t>{10000, 1023, 80}));
  EXPECT_EQ(portsOf(model->orderedRows()),
            (std::vector<int64_t>{1024, 9999, 3000, 10000, 1023, 80}));
}

TEST_F(PortListModelTest, ListHeightShowsWholeRowsOnly) {
  struct Case {
    int dev, other;
    double maxHeight, expected;
  };
  const Case cases[] = {
      {20, 20, 480, 440},   // clamped to 7 rows under two headers
      {3, 0, 480, 202},
      {0, 5, 306, 306},     // exactly full
      {0, 5, 305, 254},     // one pixel short drops a row
      {20, 20, 240, 232},   // the lowest height allowed
      {20, 20, 800, 752},   // the highest
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

TEST_F(PortListModelTest, SummaryCountsTheWholeScan) {
  auto model = fixture.modelWith({makeEntry(80, 0, "nginx", "*"), makeEntry(3000), makeEntry(5173),
                          makeEntry(9999), makeEntry(10000)});
  model->hidePort(3000);
  model->setSearchText("nothing matches this");
  SummaryCounts counts = model->summaryCounts();
  EXPECT_EQ(counts.dev, 3);
  EXPECT_EQ(counts.other, 2);
  EXPECT_EQ(counts.exposed, 1);
}

TEST_F(PortListModelTest, TheEmptyStateSaysWhyNothingIsListed) {
  auto model = fixture.makeModel();
  EXPECT_EQ(model->emptyStateKey(), "scanning");
  model->refresh();
  fixture.settle();
  EXPECT_EQ(model->emptyStateKey(), "no_ports");
  model->setSearchText("zzz");
  EXPECT_EQ(model->emptyStateKey(), "no_match");
}

// The panel and the notifier count the same sockets the same way: a port on
// two addresses once, ports outside 1024-9999 not at all.
TEST_F(PortListModelTest, DevCountAgreesWithTheNotifiersCount) {
  const std::vector<PortEntry> entries = {makeEntry(80), makeEntry(1023), makeEntry(1024), makeEntry(3000),
                                          makeEntry(3000, 0, "node", "::1"), makeEntry(9999), makeEntry(10000)};
  fixture.modelWith(entries);
  DevCount devCount;
  PortNotifier::create(std::make_shared<InlineExecutor>(),
                       {[&] { return portsOf(entries); }, fixture.services->store, devCount, englishTexts()})
      ->tick();
  EXPECT_EQ(devCount.count(), 3);
  EXPECT_EQ(fixture.services->devCounts, std::vector<int>{3});
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
