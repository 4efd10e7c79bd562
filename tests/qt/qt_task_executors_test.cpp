// The Qt executors: GUI tasks die with their guard, and the model's real
// environment runs a refresh end to end.
#include "integrations/preferences.h"
#include "panel_fakes.h"
#include "ui/qt_task_executors.h"

#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(QtTaskExecutors, GuiTasksRunOnTheGuiThreadWhileTheGuardLives) {
  auto guard = std::make_unique<QObject>();
  GuiThreadExecutor gui(guard.get());
  ThreadPoolExecutor pool;
  std::atomic<int> ran = 0;
  std::thread::id ranOn;
  pool.post([&] {
    gui.post([&] {
      ranOn = std::this_thread::get_id();
      ++ran;
    });
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ran == 1; }, 10000));
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  gui.post([&] { ++ran; });
  guard.reset();
  QTest::qWait(50);
  gui.post([&] { ++ran; });
  QTest::qWait(50);
  EXPECT_EQ(ran, 1);
}

TEST(QtTaskExecutors, RealEnvironmentRefreshesAndDropsResultsAfterTheModelIsGone) {
  auto services = std::make_shared<FakePanelServices>();
  services->ports = {makeEntry(3000)};
  auto model = std::make_unique<PanelState>(nullptr, services, std::make_shared<ThreadPoolExecutor>());
  model->refresh();
  EXPECT_TRUE(QTest::qWaitFor([&] { return model->loaded(); }, 10000));
  EXPECT_EQ(model->entries().size(), 1u);

  model->setPanelShown(true);
  model.reset();  // work in flight must not touch the dead model
  QTest::qWait(100);
}

}  // namespace
