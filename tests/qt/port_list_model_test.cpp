// The panel's settings: read from the store within bounds, and start at login.
#include "panel_fakes.h"

#include <gtest/gtest.h>

namespace {

using PortListModelTest = PanelTest;

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
