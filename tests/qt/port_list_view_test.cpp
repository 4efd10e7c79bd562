// The panel around the rows: sections and their titles, the summary and the
// exposed filter, search, empty states, the settings card, keys, and rows kept
// in place while the list refreshes.
#include "panel_view_fixture.h"
#include "ui/panel_header.h"
#include "ui/row_parts.h"
#include "ui/segmented_control.h"
#include "ui/settings_card.h"
#include "ui/toggle_switch.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>

namespace {

std::vector<std::string> idsOf(const std::vector<PortRow*>& rows) {
  std::vector<std::string> ids;
  for (PortRow* row : rows) ids.push_back(row->state().entry.id());
  return ids;
}

QStringList headerTexts(const PortListView& view) {
  QStringList texts;
  for (QLabel* header : view.sectionHeaders()) texts << header->text();
  return texts;
}

class PortListViewTest : public PanelViewTest {
 protected:
  PortEntry web = makeEntry(3000, 13000);
  PortEntry vite = makeEntry(5173, 15173, "node", "*");
  PortEntry api = makeEntry(8080, 18080, "python3");
  PortEntry nginx = makeEntry(80, 8000, "nginx", "0.0.0.0", "root");
  PortEntry sync = makeEntry(22000, 22001, "syncthing");
};

// What the counts and sections hold is the model's test; here, that the view
// draws them and that the exposed button drives the filter.
TEST_F(PortListViewTest, SectionsSummaryAndTheExposedFilter) {
  load({nginx, web, sync, vite, api});
  EXPECT_EQ(idsOf(view->rows()),
            (std::vector<std::string>{web.id(), vite.id(), api.id(), nginx.id(), sync.id()}));
  EXPECT_EQ(headerTexts(*view), (QStringList{localized("section_dev") + "  \u00B7  3",
                                             localized("section_system") + "  \u00B7  2"}));
  PanelHeader* header = view->header();
  EXPECT_EQ(header->countsLabel()->text(), "3 dev \u00B7 2 " + localized("chip_sys"));
  QPushButton* exposed = header->exposedButton();
  ASSERT_TRUE(exposed->isVisibleTo(view.get()));
  QTest::mouseClick(exposed, Qt::LeftButton);
  EXPECT_TRUE(model->exposedOnly());
  EXPECT_EQ(idsOf(view->rows()), (std::vector<std::string>{vite.id(), nginx.id()}));
  QTest::mouseClick(exposed, Qt::LeftButton);
  EXPECT_EQ(view->rows().size(), 5u);

  // A section without rows has no title.
  model->hidePort(80);
  model->hidePort(22000);
  EXPECT_EQ(headerTexts(*view), QStringList{localized("section_dev") + "  \u00B7  3"});
  EXPECT_EQ(view->list()->height(), static_cast<int>(model->listHeight()));

  load({web, api});
  EXPECT_FALSE(exposed->isVisibleTo(view.get())) << "nothing exposed";
}

TEST_F(PortListViewTest, EmptyStatesAndSearch) {
  struct Step {
    const char* name;
    std::function<void()> act;
    bool listed;
    std::string message;
    bool summary;
  };
  const Step steps[] = {
      {"before the first scan", [] {}, false, "scanning", false},
      {"first scan", [&] { load({web, api, nginx}); }, true, "", true},
      {"search without a match", [&] { QTest::keyClicks(view->header()->searchField(), "zzz"); },
       false, "no_match", true},
      {"clear button", [&] { QTest::mouseClick(view->header()->clearButton(), Qt::LeftButton); },
       true, "", true},
      {"exposed only, then the exposed port goes", [&] {
         model->setExposedOnly(true);
         load({web, api});
       }, false, "no_ports", true},
      {"an empty scan", [&] {
         model->setExposedOnly(false);
         load({});
       }, false, "no_ports", false},
  };
  for (const Step& step : steps) {
    step.act();
    SCOPED_TRACE(step.name);
    EXPECT_EQ(view->list()->isVisibleTo(view.get()), step.listed);
    EXPECT_EQ(view->emptyState()->isVisibleTo(view.get()), !step.listed);
    if (!step.listed) {
      EXPECT_EQ(view->emptyMessage()->text(), localized(step.message));
    }
    EXPECT_EQ(view->header()->summaryLine()->isVisibleTo(view.get()), step.summary);
  }

  load({web, api, nginx});
  QLineEdit* search = view->header()->searchField();
  EXPECT_FALSE(view->header()->clearButton()->isVisibleTo(view.get()));
  QTest::keyClicks(search, "ngi");
  EXPECT_EQ(model->searchText(), "ngi");
  EXPECT_TRUE(view->header()->clearButton()->isVisibleTo(view.get()));
  EXPECT_EQ(idsOf(view->rows()), std::vector<std::string>{nginx.id()});
  model->setSearchText("");
  EXPECT_EQ(search->text(), "") << "the field follows the model";
}

TEST_F(PortListViewTest, RowsStayInPlaceAcrossRefreshes) {
  model->setPanelMaxHeight(240);
  std::vector<PortEntry> many;
  for (int i = 0; i < 8; ++i) many.push_back(makeEntry(3000 + i));
  load(many);
  showFocused();
  PortRow* first = rowOf(many[0]);
  PortRow* fifth = rowOf(many[4]);
  QScrollBar* bar = view->list()->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  bar->setValue(bar->maximum() / 2);
  int scrolled = bar->value();

  // Same scan again, then one port gone and one new, in another order.
  model->refresh();
  fixture.settle();
  EXPECT_EQ(rowOf(many[0]), first);
  EXPECT_EQ(rowOf(many[4]), fifth);
  EXPECT_EQ(bar->value(), scrolled);

  std::vector<PortEntry> changed = many;
  changed.erase(changed.begin() + 2);
  std::swap(changed[0], changed[3]);
  changed.push_back(makeEntry(4000));
  load(changed);
  EXPECT_EQ(rowOf(many[0]), first);
  EXPECT_EQ(rowOf(many[4]), fifth);
  EXPECT_EQ(rowOf(many[2]), nullptr);
  EXPECT_NE(rowOf(changed.back()), nullptr);
  EXPECT_EQ(idsOf(view->rows()).front(), changed[0].id());
  EXPECT_EQ(bar->value(), scrolled);

  // Statistics reach the row's statistics and nothing else.
  fixture.services->samples = {{first->state().entry.pid, {12.5, 300}}};
  model->liveStatsTick();
  fixture.settle();
  EXPECT_EQ(rowOf(many[0]), first);
  EXPECT_EQ(first->statistics()->text(), "%13 \u00B7 " + QString::fromStdString(
                                                             PortCore::formatMem(300)));
}

TEST_F(PortListViewTest, ASocketOnTwoAddressesGetsTwoRows) {
  PortEntry v4 = makeEntry(3000, 4242, "node", "127.0.0.1");
  PortEntry v6 = makeEntry(3000, 4242, "node", "[::1]");
  load({v4, v6});
  ASSERT_EQ(view->rows().size(), 2u);
  EXPECT_NE(view->rows()[0], view->rows()[1]);
  PortRow* second = view->rows()[1];
  load({v4, v6});
  EXPECT_EQ(view->rows()[1], second);
}

TEST_F(PortListViewTest, KeysReachTheModelWhereverTheFocusIs) {
  load({web, api, nginx});
  showFocused();
  QSignalSpy escapeIgnored(view.get(), &PortListView::escapeIgnored);
  QLineEdit* search = view->header()->searchField();

  QTest::keyClick(view.get(), Qt::Key_Down);
  EXPECT_EQ(model->selection(), web.id());
  search->setFocus();
  QTest::keyClick(search, Qt::Key_Down);
  EXPECT_EQ(model->selection(), api.id()) << "arrows work from the search field";
  QTest::keyClick(search, Qt::Key_Up);
  QTest::keyClick(search, Qt::Key_Up);
  EXPECT_EQ(model->selection(), web.id());

  QTest::keyClick(search, Qt::Key_Return);
  EXPECT_TRUE(rowOf(web)->state().isConfirming);
  QTest::keyClick(view.get(), Qt::Key_Return);
  fixture.settle();
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"kill 13000"});

  // Typing still reaches the field; Escape reaches the model (whose test
  // checks the order of what it undoes) and is passed on once nothing is left.
  QTest::keyClicks(search, "py");
  EXPECT_EQ(model->searchText(), "py");
  model->setSelection(api.id());
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_EQ(search->text(), "");
  QTest::keyClick(search, Qt::Key_Escape);
  EXPECT_EQ(model->selection(), std::nullopt);
  EXPECT_EQ(escapeIgnored.count(), 0);
  QTest::keyClick(view.get(), Qt::Key_Escape);
  EXPECT_EQ(escapeIgnored.count(), 1) << "nothing left to undo";
}

TEST_F(PortListViewTest, ReturnInTheLabelEditorSavesTheLabelAndKillsNothing) {
  load({web, api});
  showFocused();
  model->setSelection(web.id());
  model->startLabelEdit(3000);
  QLineEdit* editor = rowOf(web)->labelEditor();
  ASSERT_TRUE(editor->isVisible());
  EXPECT_TRUE(editor->hasFocus());
  QTest::keyClicks(editor, "shop");
  EXPECT_EQ(model->labelDraft(), "shop");
  QTest::keyClick(editor, Qt::Key_Return);
  fixture.settle();
  EXPECT_EQ(fixture.services->storedLabels, (LabelMap{{"3000", "shop"}}));
  EXPECT_FALSE(model->pendingKill()) << "the Return went to the editor only";
  EXPECT_FALSE(editor->isVisible());
  EXPECT_TRUE(view->hasFocus()) << "the closed editor hands the keys back to the panel";
  EXPECT_EQ(rowOf(web)->labelChip()->text(), "shop");

  // Escape discards what was typed.
  model->startLabelEdit(3000);
  EXPECT_EQ(editor->text(), "shop");
  QTest::keyClicks(editor, "ping");
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(fixture.services->storedLabels, (LabelMap{{"3000", "shop"}}));
}

TEST_F(PortListViewTest, HeaderButtons) {
  load({web});
  PanelHeader* header = view->header();
  int scans = fixture.services->scans;
  QTest::mouseClick(header->refreshButton(), Qt::LeftButton);
  fixture.settle();
  EXPECT_EQ(fixture.services->scans, scans + 1);

  QSignalSpy quit(view.get(), &PortListView::quitRequested);
  QTest::mouseClick(header->quitButton(), Qt::LeftButton);
  EXPECT_EQ(quit.count(), 1);

  EXPECT_FALSE(view->settingsCard()->isVisibleTo(view.get()));
  QTest::mouseClick(header->settingsButton(), Qt::LeftButton);
  EXPECT_TRUE(model->showSettings());
  EXPECT_TRUE(view->settingsCard()->isVisibleTo(view.get()));
  QTest::mouseClick(header->settingsButton(), Qt::LeftButton);
  EXPECT_FALSE(view->settingsCard()->isVisibleTo(view.get()));
}

TEST_F(PortListViewTest, EverySettingWritesItsKey) {
  load({web, api, nginx});
  model->setShowSettings(true);
  SettingsCard* card = view->settingsCard();
  Preferences& store = fixture.services->store;

  struct Choice {
    SegmentedControl* control;
    int index;
    std::function<bool()> stored;
  };
  const Choice choices[] = {
      {card->languageChoice(), 1, [&] { return store.text("appLanguage") == "tr"; }},
      {card->languageChoice(), 0, [&] { return store.text("appLanguage") == "system"; }},
      {card->intervalChoice(), 3, [&] { return store.number("refreshInterval") == 10.0; }},
  };
  for (const Choice& choice : choices) {
    QTest::mouseClick(choice.control->segment(choice.index), Qt::LeftButton);
    EXPECT_TRUE(choice.stored()) << choice.index;
    EXPECT_EQ(choice.control->current(), choice.index);
  }

  card->heightSlider()->triggerAction(QAbstractSlider::SliderToMinimum);
  card->heightSlider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(store.number("panelMaxHeight"), 260.0);
  EXPECT_EQ(card->heightValue()->text(), "260 pt");

  EXPECT_TRUE(card->confirmSwitch()->isChecked());
  QTest::mouseClick(card->confirmSwitch(), Qt::LeftButton);
  EXPECT_EQ(store.boolean("confirmBeforeKill"), false);
  EXPECT_FALSE(card->loginSwitch()->isChecked());
  QTest::mouseClick(card->loginSwitch(), Qt::LeftButton);
  QTest::mouseClick(card->loginSwitch(), Qt::LeftButton);
  EXPECT_EQ(fixture.services->log, (std::vector<std::string>{"enableLogin", "disableLogin"}));

  // The hidden ports row shows while some are hidden, and restores them all.
  EXPECT_FALSE(card->hiddenPortsRow()->isVisibleTo(card));
  model->hidePort(8080);
  model->hidePort(3000);
  ASSERT_TRUE(card->hiddenPortsRow()->isVisibleTo(card));
  EXPECT_EQ(view->rows().size(), 1u);
  QTest::mouseClick(card->restoreButton(), Qt::LeftButton);
  EXPECT_EQ(store.text("hiddenPorts"), "");
  EXPECT_FALSE(card->hiddenPortsRow()->isVisibleTo(card));
  EXPECT_EQ(view->rows().size(), 3u);
}

TEST_F(PortListViewTest, PartsChangedWhileHiddenAreMeasuredWhenShown) {
  load({web, api});
  model->hidePort(3000);
  model->setShowSettings(true);
  showFocused();
  SettingsCard* card = view->settingsCard();
  EXPECT_EQ(card->height(), card->sizeHint().height());
  EXPECT_EQ(view->height(), view->sizeHint().height());
}

}  // namespace
