// The panel's widgets, for what only they can break: keys wherever the focus
// is, a row's stop buttons, Return in the label editor, and names and labels
// shown as written.
#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/panel_header.h"
#include "ui/port_list_view.h"
#include "ui/port_presentation.h"
#include "ui/port_row.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

namespace {

/// The pointer entering `row`.
void hover(PortRow* row) {
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), row->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(row, &enter);
}

class PortListViewTest : public ::testing::Test {
 protected:
  void SetUp() override { fixture.fakes->ports = {web, api}; }
  /// Applies a refresh that finds `web` and `api` and shows the panel as the
  /// active window with the keyboard focus on it.
  void load() {
    model->state().refresh();
    fixture.settle();
    view->show();
    view->activateWindow();
    QApplication::setActiveWindow(view.get());
    view->setFocus();
    QApplication::processEvents();
  }

  PortRow* rowOf(const PortEntry& entry) const { return view->row(entry.id()); }

  PanelFixture fixture;
  std::unique_ptr<Panel> model = fixture.makeModel();
  std::unique_ptr<PortListView> view = std::make_unique<PortListView>(*model, fixture.icons, englishTexts());
  PortEntry web = makeEntry(3000, 13000), api = makeEntry(8080, 18080, "python3");
};

// What each key does is the controller's table; here, that keys reach it from
// the search field too, and that Return in the label editor saves the label
// and stops nothing.
TEST_F(PortListViewTest, KeysReachTheControllerWhereverTheFocusIs) {
  load();
  PanelController& controller = model->controller();
  QLineEdit* search = view->header()->searchField();
  search->setFocus();
  QTest::keyClick(search, Qt::Key_Down);
  QTest::keyClick(search, Qt::Key_Down);
  EXPECT_EQ(controller.selection(), api.id());

  controller.select(web.id());
  controller.startLabelEdit(3000);
  QLineEdit* editor = rowOf(web)->labelEditor();
  ASSERT_TRUE(editor->isVisible());
  EXPECT_TRUE(editor->hasFocus());
  QTest::keyClicks(editor, "shop");
  QTest::keyClick(editor, Qt::Key_Return);
  fixture.settle();
  EXPECT_EQ(fixture.fakes->storedLabels, (LabelMap{{"3000", "shop"}}));
  EXPECT_FALSE(controller.pendingKill()) << "the Return went to the editor only";
  EXPECT_FALSE(editor->isVisible());
  EXPECT_TRUE(view->hasFocus()) << "the closed editor hands the keys back to the panel";
}

// A press whose release another window took (the Escape that hid the panel,
// a key that sent the focus away) must not swallow the next press, which Qt
// may build at the same address.
TEST_F(PortListViewTest, APressWhoseReleaseWentElsewhereDoesNotSwallowTheNext) {
  struct Case {
    const char* what;
    bool hiddenBetween;
    quint64 msBetween;  ///< 0: made by the application, not by the window system
  };
  for (const Case& c : {Case{"hidden and shown again", true, 0}, Case{"shown all along", false, 40}}) {
    SCOPED_TRACE(c.what);
    load();
    model->controller().select(std::nullopt);
    quint64 time = 1000;
    // One variable in a loop: both presses have its address, and no release comes between.
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Down}) {
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      press.setTimestamp(time);
      QApplication::sendEvent(view.get(), &press);
      time += c.msBetween;
      if (key == Qt::Key_Down || !c.hiddenBetween) continue;
      view->hide();
      load();
    }
    EXPECT_EQ(model->controller().selection(), web.id());
  }
}

// The stop button and its confirmation act.
TEST_F(PortListViewTest, TheRowsStopButtonAndItsConfirmationAct) {
  load();
  PortRow* row = rowOf(web);
  hover(row);
  QTest::mouseClick(row->stopButton(), Qt::LeftButton);
  QTest::mouseClick(row->confirmButton(), Qt::LeftButton);
  fixture.settle();
  EXPECT_EQ(fixture.fakes->log, std::vector<std::string>{"kill 13000"});
}

// Any user names their process, and labels are typed: a leading tag must not
// make the tooltip rich text that underlines one name and hides the rest.
TEST(PortRowText, MarkupInNamesAndLabelsIsShownAsWritten) {
  PortEntry odd = makeEntry(3000, 13000, "<u>sshd</u><!--");
  odd.parentChain = {"<b>zsh</b>"};
  PortRow row({.entry = odd, .label = "<i>shop</i>"}, englishTexts());
  QTextDocument tip;
  tip.setHtml(row.toolTip());
  EXPECT_EQ(tip.toPlainText().toStdString(), processTooltip(odd));
  const auto labels = row.findChildren<QLabel*>();
  auto chip = std::find_if(labels.begin(), labels.end(), [](QLabel* label) { return label->text() == "<i>shop</i>"; });
  ASSERT_NE(chip, labels.end());
  EXPECT_EQ((*chip)->textFormat(), Qt::PlainText);
}

}  // namespace
