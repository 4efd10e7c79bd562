#include "ui/panel_window.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Escape = PanelWindow::EscapeResult;

TEST(PanelWindow, EscapeClosesOnlyWhenTheContentHasNothingToUndo) {
  struct Row {
    const char* name;
    std::optional<Escape> answer;  // absent: no handler
    bool staysOpen;
  };
  const std::vector<Row> rows = {
      {"content handled it", Escape::Handled, true},
      {"content ignored it", Escape::Ignored, false},
      {"no handler", std::nullopt, false},
  };
  for (const auto& row : rows) {
    PanelWindow panel;
    int asked = 0;
    if (row.answer)
      panel.setEscapeHandler([&] {
        ++asked;
        return *row.answer;
      });
    auto* field = new QLineEdit;
    panel.setContent(field);
    panel.openAt({0, 0});
    ASSERT_TRUE(panel.isVisible()) << row.name;
    // From the focused field, as a typed key would come.
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(panel.isVisible(), row.staysOpen) << row.name;
    EXPECT_EQ(asked, row.answer ? 1 : 0) << row.name;
  }
}

TEST(PanelWindow, ShownAndHiddenFollowTheWindow) {
  PanelWindow panel;
  QSignalSpy shown(&panel, &PanelWindow::shown);
  QSignalSpy hidden(&panel, &PanelWindow::hidden);
  panel.openAt({0, 0});
  EXPECT_EQ(shown.count(), 1);
  EXPECT_EQ(hidden.count(), 0);
  QTest::keyClick(&panel, Qt::Key_Escape);
  EXPECT_EQ(hidden.count(), 1);
  panel.openAt({0, 0});
  panel.hide();
  EXPECT_EQ(shown.count(), 2);
  EXPECT_EQ(hidden.count(), 2);
}

}  // namespace
