// The panel's window: placed again when its content changes its size while
// shown, and, as a managed window, closed when the focus leaves it.
#include "ui/panel_window.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const QRect& rect, std::ostream* out) {
  *out << rect.width() << "x" << rect.height() << "+" << rect.x() << "+" << rect.y();
}

namespace {

// Opened empty above a bottom strip, then its rows arrive: it grows upward.
TEST(PanelWindow, AShownPanelThatGrowsIsPlacedAgain) {
  PanelWindow window;
  auto* content = new QWidget;
  content->setFixedSize(380, 186);
  window.setContent(content);
  window.openAt({QRect(700, 786, 1, 1), QRect(0, 0, 1280, 772)});
  EXPECT_EQ(window.geometry(), QRect(510, 586, 380, 186));
  content->setFixedSize(380, 420);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.geometry() == QRect(510, 352, 380, 420); }, 2000))
      << ::testing::PrintToString(window.geometry());
}

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
