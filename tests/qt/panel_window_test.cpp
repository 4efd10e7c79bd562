#include "ui/panel_window.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Escape = PanelWindow::EscapeResult;

// The shown and hidden signals, which drive the refresh loops, are counted too.
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
    QSignalSpy shown(&panel, &PanelWindow::shown);
    QSignalSpy hidden(&panel, &PanelWindow::hidden);
    panel.openAt({0, 0});
    ASSERT_TRUE(panel.isVisible()) << row.name;
    EXPECT_EQ(shown.count(), 1) << row.name;
    // From the focused field, as a typed key would come.
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(panel.isVisible(), row.staysOpen) << row.name;
    EXPECT_EQ(asked, row.answer ? 1 : 0) << row.name;
    EXPECT_EQ(hidden.count(), row.staysOpen ? 0 : 1) << row.name;
  }
}

}  // namespace
