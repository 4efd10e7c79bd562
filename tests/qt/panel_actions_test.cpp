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
      {std::nullopt, 1, web.id()},   {std::nullopt, -1, nginx.id()},
      {std::nullopt, 0, nginx.id()}, {nginx.id(), 1, nginx.id()},
      {web.id(), -1, web.id()},      {web.id(), 1, svc.id()},
      {svc.id(), 1, nginx.id()},     {web.id(), 5, nginx.id()},
      {"1:1", 1, web.id()},          {"1:1", -1, nginx.id()},
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
  EXPECT_TRUE(fixture.services->storedLabels.empty()) << "an escaped label is not saved";

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
  fixture.settle();
  EXPECT_TRUE(fixture.services->log.empty()) << "nothing was killed";
}

TEST_F(PanelActionsTest, ReturnIsIgnoredWithoutASelectedRowOrWhileEditing) {
  auto model = fixture.modelWith({web});
  EXPECT_EQ(model->handleReturn(), KeyResult::Ignored) << "no selection";
  model->setSelection("1:1");
  EXPECT_EQ(model->handleReturn(), KeyResult::Ignored) << "selection not listed";
  model->setSelection(web.id());
  model->startLabelEdit(3000);
  EXPECT_EQ(model->handleReturn(), KeyResult::Ignored) << "label editor open";
  model->handleEscape();
  model->setSearchText("nothing");
  EXPECT_EQ(model->handleReturn(), KeyResult::Ignored) << "selected row filtered out";
  EXPECT_FALSE(model->pendingKill());
}

TEST_F(PanelActionsTest, ReturnAsksThenConfirmsOnTheSameRow) {
  auto model = fixture.modelWith({web, svc});
  model->setSelection(web.id());
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
      {"alice", "node", true, true},
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

TEST_F(PanelActionsTest, RequestsCarryTheirFlagsAndReplaceEachOther) {
  auto model = fixture.modelWith({web});
  using Request = void (PortListModel::*)(const PortEntry&);
  const ProcessIdentity shown{web.pid, 1};
  const std::pair<Request, PendingKill> cases[] = {
      {&PortListModel::requestKill, {web, shown, false, false, false}},
      {&PortListModel::requestKillTree, {web, shown, true, false, false}},
      {&PortListModel::requestForceKill, {web, shown, false, true, false}},
      {&PortListModel::requestRestart, {web, shown, true, false, true}},
  };
  for (const auto& [request, expected] : cases) {
    (model.get()->*request)(web);
    EXPECT_EQ(model->pendingKill(), expected);
    RowState row = model->rowInputs(web);
    EXPECT_EQ(row.confirmingTree, expected.tree);
    EXPECT_EQ(row.confirmingForce, expected.force);
    EXPECT_EQ(row.confirmingRestart, expected.restart);
  }
  model->cancelPending();
  EXPECT_FALSE(model->pendingKill());
  model->confirmPending();
  fixture.settle();
  EXPECT_TRUE(fixture.services->log.empty());
}

// A restart ignores the container and rescans only after a pause of 1.5 s.
TEST_F(PanelActionsTest, PerformStopsTheContainerOrTheProcessThenRescans) {
  struct Case {
    bool tree, force, restart;
    bool docker;
    std::string expected;
  };
  const Case cases[] = {
      {false, false, false, false, "kill 13000"}, {true, false, false, false, "killTree 13000"},
      {false, true, false, false, "forceKill 13000"}, {true, false, false, true, "dockerStop web-db"},
      {true, false, true, false, "restart 13000"}, {true, false, true, true, "restart 13000"},
  };
  const PortEntry restarted = makeEntry(3000, 14000);
  for (const Case& c : cases) {
    fixture.services->containers = c.docker ? ContainerMap{{3000, "web-db"}} : ContainerMap{};
    auto model = fixture.modelWith({web, svc});
    fixture.services->log.clear();
    fixture.services->ports = {restarted, svc};
    model->perform({web, ProcessIdentity{web.pid, 1}, c.tree, c.force, c.restart});
    EXPECT_TRUE(fixture.services->log.empty()) << "nothing blocks the GUI thread";
    fixture.settle();
    EXPECT_EQ(fixture.services->log, std::vector<std::string>{c.expected});
    if (c.restart) {
      fixture.scheduler->advance(1499ms);
      fixture.settle();
      EXPECT_EQ(fixture.services->scans, 0);
      fixture.scheduler->advance(1ms);
      fixture.settle();
    }
    EXPECT_EQ(fixture.services->scans, 1) << c.expected;
    EXPECT_EQ(model->entries(), (std::vector<PortEntry>{restarted, svc})) << c.expected;
    EXPECT_EQ(fixture.scheduler->pending(), 0u);
  }
}

// The request carries the process the row showed when it was made; what the
// action answers decides the row: gone at once, or a notice for a while.
TEST_F(PanelActionsTest, OutcomesDropTheRowOrShowANotice) {
  struct Case {
    bool restart;
    ActionOutcome outcome;
    bool rowAtOnce;  ///< still listed right after the outcome, before any rescan
    bool notice;
  };
  const Case cases[] = {
      {false, ActionOutcome::Done, true, false},
      {false, ActionOutcome::ProcessChanged, false, false},
      {false, ActionOutcome::NotPermitted, true, true},
      {true, ActionOutcome::RestartRetitled, true, true},
      {true, ActionOutcome::LaunchFailed, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.outcome));
    fixture.services->startTimes = {{web.pid, 77}};
    auto model = fixture.modelWith({web, svc});
    c.restart ? model->requestRestart(web) : model->requestKill(web);
    // A PID taken over before the stop is confirmed: the request keeps what was shown.
    fixture.services->startTimes = {{web.pid, 78}};
    fixture.services->outcome = c.outcome;
    fixture.services->targets.clear();
    model->confirmPending();
    fixture.actions->drain();
    ASSERT_EQ(fixture.services->targets, (std::vector<ProcessIdentity>{{web.pid, 77}}));
    fixture.gui->drain();
    EXPECT_EQ(model->entries().size(), c.rowAtOnce ? 2u : 1u);
    if (c.outcome == ActionOutcome::Done) continue;
    std::optional<std::string> key;
    if (c.notice) key = std::string(PortCore::outcomeText(c.outcome).key);
    EXPECT_EQ(model->rowInputs(web).notice, key);

    // The process is gone from the scans; a noticed row stays until its notice expires.
    fixture.services->ports = {svc};
    fixture.settle();
    EXPECT_EQ(model->entries().size(), c.notice ? 2u : 1u);
    fixture.scheduler->advance(PortListModel::kNoticeDuration);
    fixture.settle();
    EXPECT_EQ(model->entries(), std::vector<PortEntry>{svc});
    EXPECT_EQ(model->rowInputs(web).notice, std::nullopt);
  }
}

// Scans and statistics may hang on a stuck tool; a stop never waits for them.
TEST_F(PanelActionsTest, ActionsDoNotQueueBehindBackgroundWork) {
  auto model = fixture.modelWith({web});
  model->refresh();  // left waiting on the background executor
  model->perform({web, ProcessIdentity{web.pid, 1}, false, false, false});
  fixture.actions->drain();
  EXPECT_EQ(fixture.services->log, std::vector<std::string>{"kill 13000"});
  EXPECT_GT(fixture.background->size(), 0u);
}

TEST_F(PanelActionsTest, WatchToggleWritesThroughTheStoredSet) {
  fixture.services->storedWatched = {3000};
  auto model = fixture.modelWith({web});
  EXPECT_EQ(model->watched(), std::set<int64_t>{3000});
  EXPECT_TRUE(model->rowInputs(web).isWatched);

  fixture.services->storedWatched = {3000, 5000};  // changed by someone else
  model->toggleWatch(8080);
  EXPECT_EQ(fixture.services->storedWatched, (std::set<int64_t>{3000, 5000, 8080}));
  EXPECT_EQ(model->watched(), fixture.services->storedWatched);
  model->toggleWatch(8080);
  EXPECT_EQ(fixture.services->storedWatched, (std::set<int64_t>{3000, 5000}));
  model->toggleWatch(3000);
  EXPECT_FALSE(model->rowInputs(web).isWatched);
}

TEST_F(PanelActionsTest, LabelEditingSavesTheDraftAndRereadsTheStore) {
  fixture.services->storedLabels = {{"3000", "web"}};
  auto model = fixture.modelWith({web, svc});
  EXPECT_EQ(model->rowInputs(web).label, "web");

  model->startLabelEdit(3000);
  EXPECT_EQ(model->labelDraft(), "web");
  EXPECT_TRUE(model->rowInputs(web).isEditingLabel);
  model->startLabelEdit(5000);  // moves the editor, drops what was typed
  EXPECT_EQ(model->labelDraft(), "");
  EXPECT_FALSE(model->rowInputs(web).isEditingLabel);
  EXPECT_TRUE(model->rowInputs(svc).isEditingLabel);

  model->setLabelDraft("API");
  model->commitLabelEdit(5000);
  EXPECT_EQ(model->editingLabelPort(), std::nullopt);
  EXPECT_EQ(model->rowInputs(svc).label, "API");
  model->setSearchText("api");
  EXPECT_EQ(model->filtered(), std::vector<PortEntry>{svc}) << "the new label is searched";

  model->startLabelEdit(3000);
  model->setLabelDraft("");
  model->commitLabelEdit(3000);
  EXPECT_EQ(model->rowInputs(web).label, std::nullopt);
  EXPECT_EQ(fixture.services->log, (std::vector<std::string>{"setLabel 5000 [API]", "setLabel 3000 []"}));
}

TEST_F(PanelActionsTest, HidingAddsToTheStoredListAndKeepsSelectionAndRequest) {
  auto model = fixture.modelWith({web, svc});
  model->setSelection(svc.id());
  model->requestKill(svc);
  model->setHiddenPortsRaw("3000,junk");
  model->hidePort(8080);
  EXPECT_EQ(parsePortSet(model->hiddenPortsRaw().toStdString()), (std::set<int64_t>{3000, 8080}));
  EXPECT_FALSE(model->hiddenPortsRaw().contains(' '));
  model->hidePort(5000);
  EXPECT_TRUE(model->filtered().empty());
  EXPECT_EQ(model->selection(), svc.id());
  EXPECT_TRUE(model->pendingKill());
}

}  // namespace
