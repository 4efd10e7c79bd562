// What the user does in the panel, through its controller on fakes: keys,
// stops and their confirmation, labels, and each item of a row's menu.
#include "panel_fakes.h"
#include "ui/row_menu.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

std::vector<RowAction> actionsOf(const RowMenu& menu) {
  std::vector<RowAction> actions;
  for (const auto& group : menu)
    for (const MenuItem& item : group) actions.push_back(item.action);
  return actions;
}

class PanelControllerTest : public PanelTest {
 protected:
  // Shown in this order: 3000 and 5000 in the first section, 80 in the second.
  PortEntry web = makeEntry(3000, 13000);
  PortEntry svc = makeEntry(5000, 15000);
  PortEntry nginx = makeEntry(80, 8000, "nginx");
};

TEST_F(PanelControllerTest, ArrowsWalkTheShownRowsWithoutWrapping) {
  struct Case {
    std::optional<std::string> from;
    PanelKey key;
    std::string to;
  };
  const Case cases[] = {
      {std::nullopt, PanelKey::Down, web.id()}, {std::nullopt, PanelKey::Up, nginx.id()},
      {"1:1", PanelKey::Down, web.id()},        {nginx.id(), PanelKey::Down, nginx.id()},
      {web.id(), PanelKey::Up, web.id()},       {svc.id(), PanelKey::Down, nginx.id()},
  };
  auto model = fixture.modelWith({nginx, web, svc});
  PanelController& controller = model->controller();
  for (const Case& c : cases) {
    controller.select(c.from);
    EXPECT_EQ(controller.key(c.key), KeyResult::Handled);
    EXPECT_EQ(controller.selection(), c.to) << c.from.value_or("none");
  }
  // A hidden row is not walked.
  controller.act(RowAction::Hide, svc);
  controller.select(web.id());
  controller.key(PanelKey::Down);
  EXPECT_EQ(controller.selection(), nginx.id());

  auto empty = fixture.modelWith({});
  empty->controller().key(PanelKey::Down);
  EXPECT_EQ(empty->controller().selection(), std::nullopt);
}

TEST_F(PanelControllerTest, EscapeUndoesOneThingPerPress) {
  auto model = fixture.modelWith({web, svc});
  PanelController& controller = model->controller();
  controller.select(web.id());
  model->setSearchText("node");
  controller.act(RowAction::Stop, web);
  controller.act(RowAction::SetLabel, web);
  controller.setLabelDraft("typed");

  const std::pair<const char*, std::function<bool()>> undone[] = {
      {"label editor", [&] { return !controller.editingLabelPort() && controller.pendingKill(); }},
      {"stop request", [&] { return !controller.pendingKill() && model->searchText() == "node"; }},
      {"search", [&] { return model->searchText().isEmpty() && controller.selection() == web.id(); }},
      {"selection", [&] { return !controller.selection(); }},
  };
  for (const auto& [what, check] : undone) {
    ASSERT_EQ(controller.key(PanelKey::Escape), KeyResult::Handled) << what;
    EXPECT_TRUE(check()) << what;
  }
  EXPECT_EQ(controller.key(PanelKey::Escape), KeyResult::Ignored);
  controller.confirmPending();  // the cancelled request is gone
  fixture.settle();
  EXPECT_TRUE(fixture.services->log.empty()) << "nothing was stopped, no escaped label saved";
}

TEST_F(PanelControllerTest, ReturnAsksThenConfirmsOnTheSameRow) {
  auto model = fixture.modelWith({web, svc});
  PanelController& controller = model->controller();
  controller.select(web.id());
  model->setSearchText("nothing");
  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Ignored) << "selected row filtered out";
  model->setSearchText("");
  controller.startLabelEdit(3000);
  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Ignored) << "the label editor takes it";
  controller.key(PanelKey::Escape);

  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Handled);
  EXPECT_EQ(controller.pendingKill(), (PendingKill{web, ProcessIdentity{web.pid, 1}, false, false, false}));
  EXPECT_TRUE(rowStateOf(*model, web).isConfirming);
  EXPECT_FALSE(rowStateOf(*model, svc).isConfirming);

  // Return on another row moves the question there.
  controller.select(svc.id());
  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Handled);
  EXPECT_EQ(controller.pendingKill()->entry, svc);
  fixture.settle();
  EXPECT_TRUE(fixture.services->log.empty());

  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Handled);
  EXPECT_FALSE(controller.pendingKill());
  fixture.settle();
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"kill 15000"});
}

// A system process is always asked about; the setting may change in the store
// from elsewhere, and the controller follows it.
TEST_F(PanelControllerTest, StopsAreConfirmedByTheSettingAndAlwaysForSystemProcesses) {
  struct Case {
    const char* user;
    const char* command;
    bool confirmSetting;
    bool container;
    bool asks;
    std::string log;
  };
  const Case cases[] = {
      {"alice", "node", true, false, true, "kill 42"},
      {"alice", "node", false, false, false, "kill 42"},
      {"alice", "node", true, true, true, "dockerStop web-db"},
      {"alice", "node", false, true, false, "dockerStop web-db"},
      {"root", "node", false, false, true, "kill 42"},
      {"_postgres", "postgres", false, false, true, "kill 42"},
      {"alice", "launchd", false, false, true, "kill 42"},
      {"alice", "Launchd", false, false, false, "kill 42"},
      {"alicé_", "node", false, false, false, "kill 42"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user) + " " + c.command + (c.container ? " in a container" : ""));
    PortEntry e = makeEntry(3000, 42, c.command, "127.0.0.1", c.user);
    fixture.services->containers = c.container ? ContainerMap{{3000, "web-db"}} : ContainerMap{};
    auto model = fixture.modelWith({e});
    fixture.services->store.setBoolean("confirmBeforeKill", c.confirmSetting);
    fixture.settle();
    fixture.services->log.clear();
    model->controller().act(RowAction::Stop, e);
    fixture.settle();
    EXPECT_EQ(model->controller().pendingKill().has_value(), c.asks);
    if (c.asks) {
      EXPECT_TRUE(fixture.services->log.empty());
      model->controller().confirmPending();
      fixture.settle();
    }
    EXPECT_EQ(fixture.services->log, std::vector<std::string>{c.log});
  }
}

// A request carries its flags and the process the row showed when it was made,
// even if the PID is taken over before the confirmation. A container is stopped
// by name, but not for a restart. What the action answers decides the row: kept
// until the rescan (after a pause of 1.5 s for a restart that worked), dropped
// at once, or shown with a notice until the notice expires.
TEST_F(PanelControllerTest, ConfirmedRequestsActThenRescanOrShowTheOutcome) {
  struct Case {
    RowAction action;
    bool tree, force, restart, docker;
    ActionOutcome outcome;
    std::string log;
    size_t rowsAtOnce;  ///< listed right after the outcome, before any rescan
    bool notice;
    std::chrono::milliseconds rescanAfter;
  };
  using enum ActionOutcome;
  using enum RowAction;
  const Case cases[] = {
      {Stop, false, false, false, false, Done, "kill 13000", 2, false, 0ms},
      {StopTree, true, false, false, false, Done, "killTree 13000", 2, false, 0ms},
      {ForceStop, false, true, false, false, Done, "forceKill 13000", 2, false, 0ms},
      {StopTree, true, false, false, true, Done, "dockerStop web-db", 2, false, 0ms},
      {Restart, true, false, true, true, Done, "restart 13000", 2, false, 1500ms},
      {Stop, false, false, false, false, ProcessChanged, "kill 13000", 1, false, 0ms},
      {Restart, true, false, true, false, LaunchFailed, "restart 13000", 2, true, 0ms},
  };
  const PortEntry restarted = makeEntry(3000, 14000);
  FakePanelServices& services = *fixture.services;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log + " answering " + std::to_string(static_cast<int>(c.outcome)));
    services.containers = c.docker ? ContainerMap{{3000, "web-db"}} : ContainerMap{};
    services.startTimes = {{web.pid, 77}};
    auto model = fixture.modelWith({web, svc});
    PanelController& controller = model->controller();
    controller.act(c.action, web);
    EXPECT_EQ(controller.pendingKill(),
              (PendingKill{web, ProcessIdentity{web.pid, 77}, c.tree, c.force, c.restart}));
    const RowState asking = rowStateOf(*model, web);
    EXPECT_EQ(std::tuple(asking.confirmingTree, asking.confirmingForce, asking.confirmingRestart),
              std::tuple(c.tree, c.force, c.restart));

    services.startTimes = {{web.pid, 78}};
    services.ports = {restarted, svc};
    services.outcome = c.outcome;
    services.log.clear();
    services.targets.clear();
    controller.confirmPending();
    EXPECT_TRUE(services.log.empty()) << "nothing blocks the GUI thread";
    fixture.actions->drain();
    EXPECT_EQ(services.log, std::vector<std::string>{c.log});
    for (const ProcessIdentity& target : services.targets) EXPECT_EQ(target, (ProcessIdentity{web.pid, 77}));
    fixture.gui->drain();
    EXPECT_EQ(model->entries().size(), c.rowsAtOnce);
    std::optional<std::string> notice;
    if (c.notice) notice = std::string(PortCore::outcomeText(c.outcome).key);
    EXPECT_EQ(rowStateOf(*model, web).notice, notice);

    fixture.settle();
    if (c.rescanAfter > 0ms) {
      fixture.scheduler->advance(c.rescanAfter - 1ms);
      fixture.settle();
      EXPECT_EQ(services.scans, 0);
      fixture.scheduler->advance(1ms);
      fixture.settle();
    }
    EXPECT_EQ(services.scans, 1);
    // A noticed row stays beside the new process on its port until the notice expires.
    EXPECT_EQ(model->entries().size(), c.notice ? 3u : 2u);
    fixture.scheduler->advance(PortListModel::kNoticeDuration);
    fixture.settle();
    EXPECT_EQ(model->entries(), (std::vector<PortEntry>{restarted, svc}));
    EXPECT_EQ(rowStateOf(*model, web).notice, std::nullopt);
    EXPECT_EQ(fixture.scheduler->pending(), 0u);
  }
}

// Labels are reread once saved, and searched at once; Return in the editor
// commits, Escape drops what was typed.
TEST_F(PanelControllerTest, LabelEditsCommitOrCancel) {
  fixture.services->storedLabels = {{"3000", "web"}};
  auto model = fixture.modelWith({web, svc});
  PanelController& controller = model->controller();
  controller.startLabelEdit(3000);
  EXPECT_EQ(controller.labelDraft(), "web");
  EXPECT_TRUE(rowStateOf(*model, web).isEditingLabel);
  controller.startLabelEdit(5000);  // moves the editor, drops what was typed
  EXPECT_EQ(controller.labelDraft(), "");
  EXPECT_FALSE(rowStateOf(*model, web).isEditingLabel);
  controller.setLabelDraft("API");
  controller.commitLabelEdit();
  EXPECT_EQ(controller.editingLabelPort(), std::nullopt);
  EXPECT_EQ(rowStateOf(*model, svc).label, "API");
  model->setSearchText("api");
  EXPECT_EQ(model->orderedRows(), std::vector<PortEntry>{svc}) << "the new label is searched";

  controller.startLabelEdit(5000);
  controller.setLabelDraft("");
  controller.key(PanelKey::Escape);
  controller.commitLabelEdit();  // nothing open: nothing saved
  EXPECT_EQ(rowStateOf(*model, svc).label, "API");
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"setLabel 5000 [API]"});
}

// Every item of a process row's menu reaches its own service call, with its
// value; the watched set written is the one stored now, which the notifier or
// another panel may have changed.
TEST_F(PanelControllerTest, EachMenuItemReachesItsService) {
  PortEntry e = makeEntry(3000, 4242);
  e.cwd = "/home/alice/web";
  fixture.services->storedWatched = {5000};
  auto model = fixture.modelWith({e});
  PanelController& controller = model->controller();
  auto asks = [&](bool tree, bool force, bool restart) {
    return controller.pendingKill() == PendingKill{e, ProcessIdentity{e.pid, 1}, tree, force, restart};
  };
  using enum RowAction;
  const std::map<RowAction, std::function<bool(const std::vector<std::string>&)>> expected = {
      {OpenInBrowser, [](auto& log) { return log == std::vector<std::string>{"openUrl http://localhost:3000"}; }},
      {OpenInEditor, [](auto& log) { return log == std::vector<std::string>{"openInEditor /home/alice/web"}; }},
      {CopyUrl, [](auto& log) { return log == std::vector<std::string>{"copy http://localhost:3000"}; }},
      {CopyPort, [](auto& log) { return log == std::vector<std::string>{"copy 3000"}; }},
      {CopyPid, [](auto& log) { return log == std::vector<std::string>{"copy 4242"}; }},
      {CopyKillCommand, [](auto& log) { return log == std::vector<std::string>{"copy kill 4242"}; }},
      {CopyPath, [](auto& log) { return log == std::vector<std::string>{"copy /home/alice/web"}; }},
      {SetLabel, [&](auto&) { return controller.editingLabelPort() == 3000; }},
      {Watch, [&](auto&) { return fixture.services->storedWatched == std::set<int64_t>{3000, 5000}; }},
      {Unwatch, [&](auto&) { return fixture.services->storedWatched == std::set<int64_t>{5000}; }},
      {Stop, [&](auto&) { return asks(false, false, false); }},
      {Restart, [&](auto&) { return asks(true, false, true); }},
      {StopTree, [&](auto&) { return asks(true, false, false); }},
      {ForceStop, [&](auto&) { return asks(false, true, false); }},
      {Hide, [&](auto&) { return model->orderedRows().empty(); }},
  };
  std::set<RowAction> offered;
  for (bool watched : {false, true}) {
    RowState row = rowStateOf(*model, e);
    row.isWatched = watched;
    for (RowAction action : actionsOf(rowMenu(row))) offered.insert(action);
  }
  EXPECT_EQ(offered.size(), expected.size()) << "each item is in the table below";
  for (const auto& [action, check] : expected) {
    fixture.services->log.clear();
    controller.act(action, e);
    fixture.settle();
    EXPECT_TRUE(check(fixture.services->log)) << "action " << static_cast<int>(action);
  }
}

// The editor's name takes a search of the system: it is looked up once, in the
// background, and the menu offers the editor only once it is known. A
// container's row stops the container and has no process items; a row without
// a folder has nothing to open or copy.
TEST_F(PanelControllerTest, MenusFollowTheRowAndTheEditorsName) {
  PortEntry plain = makeEntry(3000, 4242);
  PortEntry project = makeEntry(5000, 5252);
  project.cwd = "/home/alice/web";
  fixture.services->containers = {{3000, "web-db"}};
  fixture.services->ports = {plain, project};
  auto model = fixture.makeModel();
  model->refresh();
  fixture.gui->drain();
  EXPECT_EQ(fixture.services->editorLookups, 0) << "nothing slow on the GUI thread";
  EXPECT_FALSE(std::ranges::count(actionsOf(rowMenu(rowStateOf(*model, project))), RowAction::OpenInEditor));
  fixture.settle();
  EXPECT_EQ(fixture.services->editorLookups, 1);

  using enum RowAction;
  const RowMenu container = rowMenu(rowStateOf(*model, plain));
  EXPECT_EQ(actionsOf(container),
            (std::vector<RowAction>{OpenInBrowser, SetLabel, Watch, Hide, Stop, CopyUrl, CopyPort, CopyPid,
                                    CopyKillCommand}));
  EXPECT_EQ(container[2], (std::vector<MenuItem>{{Stop, "help_docker_stop", "web-db"}}));
  const RowMenu process = rowMenu(rowStateOf(*model, project));
  EXPECT_EQ(process[0][1], (MenuItem{OpenInEditor, "open_in_editor", "Visual Studio Code"}));
  for (RowAction action : {Restart, StopTree, ForceStop, CopyPath})
    EXPECT_TRUE(std::ranges::count(actionsOf(process), action)) << static_cast<int>(action);
}

}  // namespace
