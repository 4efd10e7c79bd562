// One row as the user meets it: marks and tooltips, hover, the port link, the
// context menu and its copies, the confirmation strip and the label editor.
#include "integrations/editor.h"
#include "panel_view_fixture.h"
#include "ui/port_presentation.h"
#include "ui/row_parts.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

/// Stands in for the browser: records the URLs the panel opens.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  UrlRecorder() { QDesktopServices::setUrlHandler("http", this, "open"); }
  ~UrlRecorder() override { QDesktopServices::unsetUrlHandler("http"); }
  QStringList opened;

 public slots:
  void open(const QUrl& url) { opened << url.toString(); }
};

void hover(PortRow* row, bool inside) {
  if (inside) {
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), row->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(row, &enter);
  } else {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(row, &leave);
  }
}

class PortRowTest : public PanelViewTest {
 protected:
  PortEntry web() {
    PortEntry e = makeEntry(3000, 4242, "node", "127.0.0.1");
    e.parentChain = {"npm", "zsh", "Terminal"};
    e.cwd = "/home/alice/web";
    e.project = "web";
    return e;
  }
};

// Which marks a row shows. Their texts come from the presentation functions,
// which have a test of their own.
TEST_F(PortRowTest, Marks) {
  struct Case {
    const char* name;
    PortEntry entry;
    std::optional<bool> healthy;
    bool watched;
    std::optional<std::string> label;
    bool exposedMark;
  };
  const Case cases[] = {
      {"healthy dev port, watched", web(), true, true, "shop", false},
      {"silent dev port on all interfaces", makeEntry(1024, 0, "node", "0.0.0.0"), false, false, std::nullopt, true},
      {"never probed", makeEntry(9999, 0, "node", "[::]"), std::nullopt, false, std::nullopt, true},
      {"IPv6 loopback", makeEntry(5432, 0, "postgres", "[::1]"), true, false, std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fixture.services->storedWatched = c.watched ? std::set<int64_t>{c.entry.port} : std::set<int64_t>{};
    fixture.services->storedLabels.clear();
    if (c.label) fixture.services->storedLabels[std::to_string(c.entry.port)] = *c.label;
    model = fixture.makeModel();
    view = std::make_unique<PortListView>(model.get());
    load({c.entry});
    if (c.healthy) fixture.services->answerProbes(c.entry.port, *c.healthy);
    fixture.settle();
    PortRow* row = rowOf(c.entry);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->healthDot()->isVisibleTo(row), c.healthy.has_value());
    if (c.healthy) {
      EXPECT_EQ(row->healthDot()->toolTip(), localized(*c.healthy ? "help_healthy" : "help_no_http"));
    }
    EXPECT_EQ(row->watchedMark()->isVisibleTo(row), c.watched);
    EXPECT_EQ(row->exposedMark()->isVisibleTo(row), c.exposedMark);
    EXPECT_EQ(row->labelChip()->isVisibleTo(row), c.label.has_value());
    if (c.label) {
      EXPECT_EQ(row->labelChip()->text(), QString::fromStdString(*c.label));
    }
  }
}

TEST_F(PortRowTest, HoverAndSelectionSwapStatisticsForTheStopButton) {
  PortEntry e = web();
  fixture.services->samples = {{e.pid, {3.2, 182}}};
  load({e, makeEntry(80, 0, "nginx")});
  showFocused();
  PortRow* row = rowOf(e);
  struct Step {
    bool hovered, selected;
    bool statsShown, stopShown;
  };
  const Step steps[] = {
      {false, false, true, false},
      {true, false, false, true},
      {false, true, false, true},
      {true, true, false, true},
      {false, false, true, false},
  };
  for (const Step& step : steps) {
    hover(row, step.hovered);
    model->setSelection(step.selected ? std::optional(e.id()) : std::nullopt);
    EXPECT_EQ(row->hovering(), step.hovered);
    EXPECT_EQ(row->statistics()->isVisibleTo(row), step.statsShown);
    EXPECT_EQ(row->stopButton()->isVisibleTo(row), step.stopShown);
  }

  // Only a dev port's number is underlined under the pointer.
  PortRow* nginx = view->rows().back();
  hover(row, true);
  hover(nginx, true);
  EXPECT_TRUE(row->portNumber()->underlined());
  EXPECT_FALSE(nginx->portNumber()->underlined());
  hover(row, false);
  EXPECT_FALSE(row->portNumber()->underlined());

  fixture.services->samples.clear();
  model->refresh();
  fixture.settle();
  EXPECT_FALSE(row->statistics()->isVisibleTo(row));

  hover(row, true);
  QTest::mouseClick(row->stopButton(), Qt::LeftButton);
  EXPECT_EQ(model->pendingKill(), (PendingKill{e, ProcessIdentity{e.pid, 1}, false, false, false}));
}

TEST_F(PortRowTest, ClickingThePortOpensDevPortsOnly) {
  UrlRecorder browser;
  PortEntry dev = web();
  PortEntry https = makeEntry(443, 0, "caddy");
  load({dev, https});
  showFocused();
  struct Case {
    PortEntry entry;
    QStringList opened;
  };
  const Case cases[] = {
      {dev, {"http://localhost:3000"}},
      {https, {}},
  };
  for (const Case& c : cases) {
    browser.opened.clear();
    PortRow* row = rowOf(c.entry);
    QTest::mouseClick(row->portNumber(), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(model->selection(), c.entry.id());
    EXPECT_EQ(browser.opened, c.opened) << c.entry.port;
  }
  // A click elsewhere on the row selects and opens nothing.
  browser.opened.clear();
  QTest::mouseClick(rowOf(dev), Qt::LeftButton, {}, QPoint(rowOf(dev)->width() / 2, 45));
  EXPECT_EQ(model->selection(), dev.id());
  EXPECT_TRUE(browser.opened.isEmpty());

  // The menu opens any port.
  std::unique_ptr<QMenu> menu(rowOf(https)->buildContextMenu(nullptr));
  menuAction(menu.get(), localized("open_in_browser"))->trigger();
  EXPECT_EQ(browser.opened, QStringList{"http://localhost:443"});
}

// Every item of a row with a folder and a process is triggered below; here,
// what goes without a folder, and what a container leaves out.
TEST_F(PortRowTest, ContextMenuItemsFollowTheRow) {
  const QString editor = localized(
      "open_in_editor", {Editor::appName().value_or(Editor::fallbackName())});
  for (bool inContainer : {false, true}) {
    PortEntry e = inContainer ? web() : makeEntry(3000, 4242);
    fixture.services->containers.clear();
    if (inContainer) fixture.services->containers[3000] = "web-db";
    model->refresh();
    load({e});
    std::unique_ptr<QMenu> menu(rowOf(e)->buildContextMenu(nullptr));
    const QStringList items = menuTexts(menu.get());
    EXPECT_EQ(items.contains(editor), inContainer) << "only a row with a folder opens it";
    EXPECT_EQ(items.contains(localized("copy_path")), inContainer);
    for (const char* key : {"restart", "kill_tree", "force_kill"})
      EXPECT_EQ(items.contains(localized(key)), !inContainer) << key;
    EXPECT_TRUE(items.contains(localized("copy_pid"))) << inContainer;
  }
}

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

  struct Copy {
    const char* key;
    QString text;
  };
  const Copy copies[] = {{"copy_url", "http://localhost:3000"},
                         {"copy_port", "3000"},
                         {"copy_pid", "4242"},
                         {"copy_kill", "kill 4242"},
                         {"copy_path", "/home/alice/web"}};
  for (const Copy& copy : copies) {
    std::unique_ptr<QMenu> menu(row->buildContextMenu(nullptr));
    menuAction(menu.get(), localized(copy.key))->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), copy.text) << copy.key;
  }

  using Check = std::function<bool()>;
  const std::pair<const char*, Check> actions[] = {
      {"watch", [&] { return fixture.services->storedWatched == std::set<int64_t>{3000}; }},
      {"unwatch", [&] { return fixture.services->storedWatched.empty(); }},
      {"restart", [&] { return model->pendingKill() == PendingKill{e, ProcessIdentity{e.pid, 1}, true, false, true}; }},
      {"kill_tree", [&] { return model->pendingKill() == PendingKill{e, ProcessIdentity{e.pid, 1}, true, false, false}; }},
      {"force_kill", [&] { return model->pendingKill() == PendingKill{e, ProcessIdentity{e.pid, 1}, false, true, false}; }},
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

TEST_F(PortRowTest, TheConfirmationStrip) {
  PortEntry e = web();
  PortEntry rootDb = makeEntry(5432, 900, "postgres", "127.0.0.1", "root");
  fixture.services->containers = {{5432, "db"}};
  load({e, rootDb});
  PortRow* row = rowOf(e);
  EXPECT_FALSE(row->cancelButton()->isVisibleTo(row));
  EXPECT_EQ(rowOf(rootDb)->secondLine()->text(), localized("docker_container", {std::string("db")}));

  // Which text each kind of request shows is the presentation test's concern.
  model->requestRestart(e);
  EXPECT_EQ(row->secondLine()->text(), localized("confirm_restart"));
  EXPECT_TRUE(row->cancelButton()->isVisibleTo(row));
  EXPECT_TRUE(row->confirmButton()->isVisibleTo(row));
  EXPECT_FALSE(row->actionsBox()->isVisibleTo(row));

  QTest::mouseClick(row->cancelButton(), Qt::LeftButton);
  EXPECT_FALSE(model->pendingKill());
  EXPECT_EQ(row->secondLine()->text(), QString::fromStdString(subtitle(e, std::nullopt)));
  EXPECT_TRUE(row->actionsBox()->isVisibleTo(row));

  model->requestKill(e);
  QTest::mouseClick(row->confirmButton(), Qt::LeftButton);
  fixture.settle();
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"kill 4242"});

  // A system process warns as a system process, container or not.
  model->setConfirmBeforeKill(false);
  model->requestKill(rootDb);
  EXPECT_EQ(rowOf(rootDb)->secondLine()->text(), localized("confirm_sys"));
}

}  // namespace

#include "port_row_test.moc"
