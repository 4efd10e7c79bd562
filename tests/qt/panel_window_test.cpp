#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/panel_header.h"
#include "ui/panel_window.h"
#include "ui/port_list_view.h"
#include "ui/port_row.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
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
  QSignalSpy shown(&panel, &PanelWindow::shown), hidden(&panel, &PanelWindow::hidden);
  panel.openAt({0, 0});
  ASSERT_TRUE(panel.isVisible() && shown.count() == 1);
  QLineEdit* search = view->header()->searchField();  // focused, as a typed key comes
  QTest::keyClicks(search, "py");
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_TRUE(panel.isVisible()) << "the search was there to clear";
  EXPECT_EQ(search->text(), "");
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_TRUE(!panel.isVisible() && hidden.count() == 1);
}

// A row's menu holds the pointer, so a row the pointer leaves meanwhile hears
// of no leave (on X11; here its entry is sent by hand): once the menu goes, it
// must not stay highlighted.
TEST(PanelWindow, ARowLeftWhileItsMenuWasOpenIsNotHovered) {
  PanelFixture fixture;
  auto model = fixture.modelWith({makeEntry(3000)});
  PortListView view(model.get(), fixture.icons, englishTexts());
  view.show();
  PortRow* row = view.rows().front();
  QContextMenuEvent click(QContextMenuEvent::Mouse, {5, 5}, row->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(row, &click);
  auto* menu = row->findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), row->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(row, &enter);
  QCursor::setPos(view.frameGeometry().bottomRight() + QPoint(100, 100));
  menu->close();
  EXPECT_FALSE(row->hovering());
}

}  // namespace
