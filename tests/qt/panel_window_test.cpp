#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/panel_header.h"
#include "ui/panel_window.h"
#include "ui/port_list_view.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The panel undoes one thing per Escape; the one it has no use for reaches the
// window, which closes. The shown and hidden signals, which drive the refresh
// loops, are counted too.
TEST(PanelWindow, EscapeThePanelLeavesUnhandledClosesIt) {
  PanelFixture fixture;
  auto model = fixture.makeModel();
  PanelWindow panel;
  auto* view = new PortListView(model.get(), fixture.icons, englishTexts());
  panel.setContent(view);
  QSignalSpy shown(&panel, &PanelWindow::shown);
  QSignalSpy hidden(&panel, &PanelWindow::hidden);
  panel.openAt({0, 0});
  ASSERT_TRUE(panel.isVisible());
  EXPECT_EQ(shown.count(), 1);
  // From the focused field, as a typed key would come.
  QLineEdit* search = view->header()->searchField();
  QTest::keyClicks(search, "py");
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_TRUE(panel.isVisible()) << "the search was there to clear";
  EXPECT_EQ(search->text(), "");
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_FALSE(panel.isVisible());
  EXPECT_EQ(hidden.count(), 1);
}

}  // namespace
