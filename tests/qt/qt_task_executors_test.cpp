// The Qt executors: GUI tasks run on the GUI thread and die with their guard.
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
  pool.post([&] { gui.post([&] { ranOn = std::this_thread::get_id(); ++ran; }); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ran == 1; }, 10000));
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  gui.post([&] { ++ran; });
  guard.reset();
  gui.post([&] { ++ran; });
  QTest::qWait(50);
  EXPECT_EQ(ran, 1);
}

}  // namespace
