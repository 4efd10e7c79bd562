// GUI tasks run on the GUI thread, and not once their guard is gone: a result
// arriving after the panel must not reach it.
#include "ui/qt_task_executors.h"

#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

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
  EXPECT_EQ(ran, 1);
}
