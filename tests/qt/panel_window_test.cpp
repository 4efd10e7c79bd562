// The panel's window: as a managed window, closed when the focus leaves it.
#include "ui/panel_window.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(PanelWindow, AManagedPanelClosesWhenAnotherWindowTakesTheFocus) {
  PanelWindow panel(PanelKind::Managed);
  panel.setContent(new QWidget);
  panel.openAt({QRect(700, 14, 1, 1), QRect(0, 28, 1280, 772)});
  QApplication::setActiveWindow(&panel);
  ASSERT_TRUE(QTest::qWaitFor([&] { return panel.isActiveWindow(); }, 2000));
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !panel.isVisible(); }, 2000));
}

}  // namespace
