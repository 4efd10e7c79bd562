#include "ui/panel_window.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The shown and hidden signals, which drive the refresh loops, are counted too.
TEST(PanelWindow, EscapeThatReachesTheWindowClosesIt) {
  PanelWindow panel;
  auto* field = new QLineEdit;
  panel.setContent(field);
  QSignalSpy shown(&panel, &PanelWindow::shown);
  QSignalSpy hidden(&panel, &PanelWindow::hidden);
  panel.openAt({0, 0});
  ASSERT_TRUE(panel.isVisible());
  EXPECT_EQ(shown.count(), 1);
  // From the focused field, as a typed key would come.
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_FALSE(panel.isVisible());
  EXPECT_EQ(hidden.count(), 1);
}

}  // namespace
