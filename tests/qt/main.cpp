// The Qt test binary's entry: one QApplication for every test (offscreen unless
// a test runs its own display), then GoogleTest.
#include "support/test_process.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Qt reads XDG_CONFIG_HOME once per process, so before anything opens QSettings
  // it points at a directory of this run's own: no test touches the user's settings.
  const TempDir home;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.path() + "/config"));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
