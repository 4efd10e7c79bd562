// What the user does in the panel: keys, kill requests and their confirmation,
// what a confirmed request runs, watching, labels and hiding.
#include "integrations/port_set_text.h"
#include "integrations/preferences.h"
#include "panel_fakes.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class PanelActionsTest : public PanelTest {
 protected:
  // Shown in this order: 3000 and 5000 in the first section, 80 in the second.
  PortEntry web = makeEntry(3000, 13000);
  PortEntry svc = makeEntry(5000, 15000);
  PortEntry nginx = makeEntry(80, 8000, "nginx");
};

TEST_F(PanelActionsTest, ArrowsMoveTheSelectionWithoutWrapping) {
  struct Case {
    std::optional<std::string> from;
    int delta;
    std::string to;
  };
  const Case cases[] = {
      {std::nullopt, 1, web.id()},  {"1:1", 0, nginx.id()},     {nginx.id(), 1, nginx.id()},
      {web.id(), -1, web.id()},     {svc.id(), 1, nginx.id()},
  };
  auto model = fixture.modelWith({nginx, web, svc});
  for (const Case& c : cases) {
    model->setSelection(c.from);
    model->moveSelection(c.delta);
    EXPECT_EQ(model->selection(), c.to) << c.from.value_or("none") << " by " << c.delta;
  }
  // A hidden row is not walked.
  model->hidePort(5000);
  model->setSelection(web.id());
  model->moveSelection(1);
  EXPECT_EQ(model->selection(), nginx.id());

  auto empty = fixture.modelWith({});
  empty->moveSelection(1);
  EXPECT_EQ(empty->selection(), std::nullopt);
}

TEST_F(PanelActionsTest, EscapeUndoesOneThingPerPress) {
  auto model = fixture.modelWith({web, svc});
  model->setSelection(web.id());
  model->setSearchText("node");
  model->requestKill(web);
  model->startLabelEdit(3000);
  model->setLabelDraft("typed");

  ASSERT_EQ(model->handleEscape(), KeyResult::Handled);
  EXPECT_EQ(model->editingLabelPort(), std::nullopt);
  EXPECT_TRUE(model->pendingKill());

  ASSERT_EQ(model->handleEscape(), KeyResult::Handled);
  EXPECT_FALSE(model->pendingKill());
  EXPECT_EQ(model->searchText(), "node");

  ASSERT_EQ(model->handleEscape(), KeyResult::Handled);
  EXPECT_EQ(model->searchText(), "");
  EXPECT_EQ(model->selection(), web.id());

  ASSERT_EQ(model->handleEscape(), KeyResult::Handled);
  EXPECT_EQ(model->selection(), std::nullopt);

  model->setShowSettings(true);
  EXPECT_EQ(model->handleEscape(), KeyResult::Ignored);
  EXPECT_TRUE(model->showSettings());
  model->confirmPending();  // the cancelled request is gone
  fixture.settle();
  EXPECT_TRUE(fixture.services->log.empty()) << "nothing was killed, no escaped label saved";
}

TEST_F(PanelActionsTest, ReturnAsksThenConfirmsOnTheSameRow) {
  auto model = fixture.modelWith({web, svc});
  model->setSelection(web.id());
  model->setSearchText("nothing");
  EXPECT_EQ(model->handleReturn(), KeyResult::Ignored) << "selected row filtered out";
  model->setSearchText("");
  model->startLabelEdit(3000);
  EXPECT_EQ(model->handleReturn(), KeyResult::Ignored) << "label editor open";
  model->handleEscape();
  EXPECT_FALSE(model->pendingKill());

  EXPECT_EQ(model->handleReturn(), KeyResult::Handled);
  EXPECT_EQ(model->pendingKill(), (PendingKill{web, ProcessIdentity{web.pid, 1}, false, false, false}));
  EXPECT_TRUE(model->rowInputs(web).isConfirming);
  EXPECT_FALSE(model->rowInputs(svc).isConfirming);

  // Return on another row moves the question there.
  model->setSelection(svc.id());
  EXPECT_EQ(model->handleReturn(), KeyResult::Handled);
  EXPECT_EQ(model->pendingKill()->entry, svc);
  fixture.settle();
  EXPECT_TRUE(fixture.services->log.empty());

  EXPECT_EQ(model->handleReturn(), KeyResult::Handled);
  EXPECT_FALSE(model->pendingKill());
  fixture.settle();
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"kill 15000"});
}

TEST_F(PanelActionsTest, SystemProcessesAreAlwaysConfirmed) {
  struct Case {
    const char* user;
    const char* command;
    bool confirmSetting;
    bool asks;
  };
  const Case cases[] = {
      {"alice", "node", false, false},
      {"root", "node", false, true},
      {"_postgres", "postgres", false, true},
      {"alice", "launchd", false, true},
      {"alice", "Launchd", false, false},
      {"alicé_", "node", false, false},
  };
  for (const Case& c : cases) {
    PortEntry e = makeEntry(3000, 42, c.command, "127.0.0.1", c.user);
    auto model = fixture.modelWith({e});
    fixture.services->log.clear();
    model->setConfirmBeforeKill(c.confirmSetting);
    model->setSelection(e.id());
    model->handleReturn();
    fixture.settle();
    EXPECT_EQ(model->pendingKill().has_value(), c.asks) << c.user << " " << c.command;
    EXPECT_EQ(fixture.services->log.empty(), c.asks) << c.user << " " << c.command;
  }
}

// A request carries its flags and the process the row showed when it was made,
// even if the PID is taken over before the confirmation. A container is stopped
// by name, but not for a restart. What the action answers decides the row: kept
// until the rescan (after a pause of 1.5 s for a restart that worked), dropped
// at once, or shown with a notice until the notice expires.
TEST_F(PanelActionsTest, ConfirmedRequestsActThenRescanOrShowTheOutcome) {
  using Request = void (PortListModel::*)(const PortEntry&);
  struct Case {
    Request request;
    bool tree, force, restart, docker;
    ActionOutcome outcome;
    std::string log;
    size_t rowsAtOnce;  ///< listed right after the outcome, before any rescan
    bool notice;
    std::chrono::milliseconds rescanAfter;
  };
  using enum ActionOutcome;
  const Case cases[] = {
      {&PortListModel::requestKill, false, false, false, false, Done, "kill 13000", 2, false, 0ms},
      {&PortListModel::requestKillTree, true, false, false, false, Done, "killTree 13000", 2, false, 0ms},
      {&PortListModel::requestForceKill, false, true, false, false, Done, "forceKill 13000", 2, false, 0ms},
      {&PortListModel::requestKillTree, true, false, false, true, Done, "dockerStop web-db", 2, false, 0ms},
      {&PortListModel::requestRestart, true, false, true, true, Done, "restart 13000", 2, false, 1500ms},
      {&PortListModel::requestKill, false, false, false, false, ProcessChanged, "kill 13000", 1, false, 0ms},
      {&PortListModel::requestRestart, true, false, true, false, LaunchFailed, "restart 13000", 2, true, 0ms},
  };
  const PortEntry restarted = makeEntry(3000, 14000);
  FakePanelServices& services = *fixture.services;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log + " answering " + std::to_string(static_cast<int>(c.outcome)));
    services.containers = c.docker ? ContainerMap{{3000, "web-db"}} : ContainerMap{};
    services.startTimes = {{web.pid, 77}};
    auto model = fixture.modelWith({web, svc});
    (model.get()->*c.request)(web);
    EXPECT_EQ(model->pendingKill(), (PendingKill{web, ProcessIdentity{web.pid, 77}, c.tree, c.force, c.restart}));
    const RowState asking = model->rowInputs(web);
    EXPECT_EQ(std::tuple(asking.confirmingTree, asking.confirmingForce, asking.confirmingRestart),
              std::tuple(c.tree, c.force, c.restart));

    services.startTimes = {{web.pid, 78}};
    services.ports = {restarted, svc};
    services.outcome = c.outcome;
    services.log.clear();
    services.targets.clear();
    model->confirmPending();
    EXPECT_TRUE(services.log.empty()) << "nothing blocks the GUI thread";
    fixture.actions->drain();
    EXPECT_EQ(services.log, std::vector<std::string>{c.log});
    for (const ProcessIdentity& target : services.targets) EXPECT_EQ(target, (ProcessIdentity{web.pid, 77}));
    fixture.gui->drain();
    EXPECT_EQ(model->entries().size(), c.rowsAtOnce);
    std::optional<std::string> notice;
    if (c.notice) notice = std::string(PortCore::outcomeText(c.outcome).key);
    EXPECT_EQ(model->rowInputs(web).notice, notice);

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
    EXPECT_EQ(model->rowInputs(web).notice, std::nullopt);
    EXPECT_EQ(fixture.scheduler->pending(), 0u);
  }
}

// Both write through the stores: the watched set as stored now, which the
// notifier or another panel may have changed; labels reread once saved.
TEST_F(PanelActionsTest, WatchToggleAndLabelEditingWriteThroughTheirStores) {
  fixture.services->storedWatched = {3000};
  fixture.services->storedLabels = {{"3000", "web"}};
  auto model = fixture.modelWith({web, svc});
  EXPECT_TRUE(model->rowInputs(web).isWatched);
  fixture.services->storedWatched = {3000, 5000};  // changed by someone else
  model->toggleWatch(8080);
  EXPECT_EQ(fixture.services->storedWatched, (std::set<int64_t>{3000, 5000, 8080}));
  EXPECT_EQ(model->watched(), fixture.services->storedWatched);
  model->toggleWatch(3000);
  EXPECT_EQ(fixture.services->storedWatched, (std::set<int64_t>{5000, 8080}));
  EXPECT_FALSE(model->rowInputs(web).isWatched);

  model->startLabelEdit(3000);
  EXPECT_EQ(model->labelDraft(), "web");
  EXPECT_TRUE(model->rowInputs(web).isEditingLabel);
  model->startLabelEdit(5000);  // moves the editor, drops what was typed
  EXPECT_EQ(model->labelDraft(), "");
  EXPECT_FALSE(model->rowInputs(web).isEditingLabel);
  model->setLabelDraft("API");
  model->commitLabelEdit(5000);
  EXPECT_EQ(model->editingLabelPort(), std::nullopt);
  EXPECT_EQ(model->rowInputs(svc).label, "API");
  model->setSearchText("api");
  EXPECT_EQ(model->orderedRows(), std::vector<PortEntry>{svc}) << "the new label is searched";
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"setLabel 5000 [API]"});
}

TEST_F(PanelActionsTest, HidingAddsToTheStoredListAndKeepsSelectionAndRequest) {
  auto model = fixture.modelWith({web, svc});
  model->setSelection(svc.id());
  model->requestKill(svc);
  model->setHiddenPortsRaw("3000,junk");
  model->hidePort(8080);
  EXPECT_EQ(parsePortSet(model->hiddenPortsRaw().toStdString()), (std::set<int64_t>{3000, 8080}));
  model->hidePort(5000);
  EXPECT_TRUE(model->orderedRows().empty());
  EXPECT_EQ(model->selection(), svc.id());
  EXPECT_TRUE(model->pendingKill());
}

}  // namespace
