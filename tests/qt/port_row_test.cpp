// One row as the user acts on it: the context menu and its copies, the stop
// button and the confirmation strip.
#include "integrations/editor.h"
#include "panel_view_fixture.h"

#include <QClipboard>
#include <QPushButton>
#include <QTest>

namespace {

class PortRowTest : public PanelViewTest {
 protected:
  PortEntry web() {
    PortEntry e = makeEntry(3000, 4242, "node", "127.0.0.1");
    e.cwd = "/home/alice/web";
    e.project = "web";
    return e;
  }
};

TEST_F(PortRowTest, SecondaryClickOpensTheMenuAndItsItemsAct) {
  PortEntry e = web();
  load({e});
  showFocused();
  PortRow* row = rowOf(e);
  QWindow* window = view->windowHandle();
  ASSERT_NE(window, nullptr);
  QTest::mouseClick(window, Qt::RightButton, {}, row->mapTo(view.get(), QPoint(60, 20)));
  QMenu* menu = nullptr;
  EXPECT_TRUE(QTest::qWaitFor([&] { return (menu = row->findChild<QMenu*>()) && menu->isVisible(); }, 2000));
  ASSERT_NE(menu, nullptr);

  menuAction(menu, localized("set_label"))->trigger();
  EXPECT_EQ(model->editingLabelPort(), 3000);
  menu->close();
  model->handleEscape();

  const std::pair<const char*, QString> copies[] = {{"copy_url", "http://localhost:3000"},
                                                    {"copy_port", "3000"},
                                                    {"copy_pid", "4242"},
                                                    {"copy_kill", "kill 4242"},
                                                    {"copy_path", "/home/alice/web"}};
  for (const auto& [key, text] : copies) {
    std::unique_ptr<QMenu> menu(row->buildContextMenu(nullptr));
    menuAction(menu.get(), localized(key))->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text) << key;
  }

  // Each request's flags are the model's table; here, that each item reaches its own.
  auto asks = [&](bool tree, bool force, bool restart) {
    return model->pendingKill() == PendingKill{e, ProcessIdentity{e.pid, 1}, tree, force, restart};
  };
  using Check = std::function<bool()>;
  const std::pair<const char*, Check> actions[] = {
      {"watch", [&] { return fixture.services->storedWatched == std::set<int64_t>{3000}; }},
      {"unwatch", [&] { return fixture.services->storedWatched.empty(); }},
      {"restart", [&] { return asks(true, false, true); }},
      {"kill_tree", [&] { return asks(true, false, false); }},
      {"force_kill", [&] { return asks(false, true, false); }},
      {"hide_port", [&] { return model->hiddenPorts() == std::set<int64_t>{3000}; }},
  };
  for (const auto& [key, check] : actions) {
    std::unique_ptr<QMenu> menu(rowOf(e)->buildContextMenu(nullptr));
    QAction* action = menuAction(menu.get(), localized(key));
    ASSERT_NE(action, nullptr) << key;
    action->trigger();
    EXPECT_TRUE(check()) << key;
  }
  QApplication::processEvents();  // rows removed by hiding go at the next turn
  EXPECT_EQ(rowOf(e), nullptr);
}

// A container is stopped as a whole, and a row without a folder has none to open.
TEST_F(PortRowTest, AContainersMenuHasNoProcessOrFolderItems) {
  PortEntry e = makeEntry(3000, 4242);
  fixture.services->containers[3000] = "web-db";
  load({e});
  std::unique_ptr<QMenu> menu(rowOf(e)->buildContextMenu(nullptr));
  for (const char* key : {"restart", "kill_tree", "force_kill", "copy_path"})
    EXPECT_EQ(menuAction(menu.get(), localized(key)), nullptr) << key;
  EXPECT_NE(menuAction(menu.get(), localized("copy_pid")), nullptr);
}

TEST_F(PortRowTest, TheStopButtonAsksAndTheStripCancelsOrConfirms) {
  PortEntry e = web();
  load({e});
  showFocused();
  PortRow* row = rowOf(e);
  hover(row);
  QTest::mouseClick(row->stopButton(), Qt::LeftButton);
  EXPECT_EQ(model->pendingKill(), (PendingKill{e, ProcessIdentity{e.pid, 1}, false, false, false}));
  ASSERT_TRUE(row->cancelButton()->isVisibleTo(row));
  QTest::mouseClick(row->cancelButton(), Qt::LeftButton);
  EXPECT_FALSE(model->pendingKill());
  EXPECT_FALSE(row->cancelButton()->isVisibleTo(row));

  model->requestKill(e);
  QTest::mouseClick(row->confirmButton(), Qt::LeftButton);
  fixture.settle();
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"kill 4242"});
}

}  // namespace
