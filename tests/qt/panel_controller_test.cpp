// What the user does in the panel, through its controller on fakes: Escape and
// Return, stops and their confirmation, watching; and one stop of a real
// listener on a port a container publishes.
#include "panel_fakes.h"
#include "support/fake_tool_runner.h"
#include "support/test_process.h"

#include <algorithm>
#include <filesystem>

using namespace std::chrono_literals;

namespace {

class PanelControllerTest : public ::testing::Test {
 protected:
  PanelFixture fixture;
  PortEntry web = makeEntry(3000, 13000), svc = makeEntry(5000, 15000), nginx = makeEntry(80, 8000, "nginx");
};

// Escape undoes one thing per press; Return asks about the selected row, then
// confirms on that row only.
TEST_F(PanelControllerTest, EscapeUndoesOneThingPerPressAndReturnAsksThenConfirms) {
  auto model = fixture.modelWith({web, svc});
  PanelController& controller = model->controller();
  controller.select(web.id());
  model->state().setSearchText("node");
  controller.act(RowAction::Stop, web);
  controller.startLabelEdit(3000);
  controller.setLabelDraft("typed");
  const std::pair<const char*, std::function<bool()>> undone[] = {
      {"label editor", [&] { return !controller.editingLabelPort() && controller.pendingKill(); }},
      {"stop request", [&] { return !controller.pendingKill() && model->state().searchText() == "node"; }},
      {"search", [&] { return model->state().searchText().isEmpty() && controller.selection() == web.id(); }},
      {"selection", [&] { return !controller.selection(); }},
  };
  for (const auto& [what, check] : undone) {
    ASSERT_EQ(controller.key(PanelKey::Escape), KeyResult::Handled) << what;
    EXPECT_TRUE(check()) << what;
  }
  EXPECT_EQ(controller.key(PanelKey::Escape), KeyResult::Ignored);
  fixture.settle();
  EXPECT_TRUE(fixture.fakes->log.empty()) << "nothing was stopped";
  EXPECT_TRUE(fixture.fakes->storedLabels.empty()) << "an escaped label was saved";

  controller.select(web.id());
  model->state().setSearchText("nothing");
  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Ignored) << "selected row filtered out";
  model->state().setSearchText("");
  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Handled);
  EXPECT_TRUE(rowStateOf(*model, web).isConfirming);
  controller.select(svc.id());
  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Handled);
  EXPECT_FALSE(rowStateOf(*model, web).isConfirming) << "the question moved to the new row";
  EXPECT_EQ(controller.key(PanelKey::Return), KeyResult::Handled);
  fixture.settle();
  EXPECT_EQ(fixture.fakes->log, std::vector<std::string>{"kill 15000"});
}

// Switched off, the setting lets a stop act at once, but a system process is
// always asked about. The setting changes in the store from elsewhere, and the
// controller follows it (on, its default, every other test asks first).
TEST_F(PanelControllerTest, StopsAreConfirmedByTheSettingAndAlwaysForSystemProcesses) {
  const PortEntry system = makeEntry(80, 8000, "nginx", "127.0.0.1", "root");
  auto model = fixture.modelWith({web, system});
  fixture.fakes->store.setBoolean("confirmBeforeKill", false);
  fixture.settle();
  PanelController& controller = model->controller();
  controller.act(RowAction::Stop, web);
  EXPECT_FALSE(controller.pendingKill());
  controller.act(RowAction::Stop, system);
  ASSERT_TRUE(controller.pendingKill());
  controller.confirmPending();
  fixture.settle();
  EXPECT_EQ(fixture.fakes->log, (std::vector<std::string>{"kill 13000", "kill 8000"}));
}

// A request acts on the process the row showed when it was made, even if the
// PID is taken over before the confirmation. Every case runs with a
// container publishing the port: it is stopped by name where its proxy holds the
// port, but not for a restart; a process of the user's there is stopped as a
// process. What the action answers decides the row: kept until the rescan (once
// a restart that worked holds its port again), dropped at once, or shown with a
// notice until the notice expires.
TEST_F(PanelControllerTest, ConfirmedRequestsActThenRescanOrShowTheOutcome) {
  struct Case {
    RowAction action;
    bool docker;  // whether a container's proxy holds the port
    ActionOutcome outcome;
    std::string log;
    size_t rowsAtOnce;  // listed right after the outcome, before any rescan
    bool notice;
    std::chrono::milliseconds rescanAfter;
  };
  using enum ActionOutcome;
  using enum RowAction;
  const Case cases[] = {
      {Stop, false, Done, "kill 13000", 2, false, 0ms},
      {StopTree, false, Done, "killTree 13000", 2, false, 0ms},
      {ForceStop, false, Done, "forceKill 13000", 2, false, 0ms},
      {StopTree, true, Done, "dockerStop web-db", 2, false, 0ms},
      {Restart, true, Done, "restart 13000", 2, false, PortCore::kPortWatchInterval},
      {Stop, false, ProcessChanged, "kill 13000", 1, false, 0ms},
      {Restart, false, LaunchFailed, "restart 13000", 2, true, 0ms},
  };
  const PortEntry restarted = makeEntry(3000, 14000);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log + " answering " + std::to_string(static_cast<int>(c.outcome)));
    PanelFixture f;
    FakeSeams& fakes = *f.fakes;
    fakes.containers = {{3000, {{"0.0.0.0", "web-db"}}}};
    const PortEntry held = makeEntry(web.port, web.pid, c.docker ? "docker-proxy" : "node");
    fakes.startTime = 77;
    auto model = f.modelWith({held, svc});
    PanelController& controller = model->controller();
    controller.act(c.action, held);
    ASSERT_TRUE(controller.pendingKill()) << "asked first";

    fakes.startTime = 78;
    fakes.ports = {restarted, svc};
    fakes.outcome = c.outcome;
    controller.confirmPending();
    EXPECT_TRUE(fakes.log.empty()) << "nothing blocks the GUI thread";
    f.actions->drain();
    EXPECT_EQ(fakes.log, std::vector<std::string>{c.log});
    for (const ProcessIdentity& target : fakes.targets) EXPECT_EQ(target, (ProcessIdentity{held.pid, 77}));
    f.gui->drain();
    EXPECT_EQ(model->state().entries().size(), c.rowsAtOnce);
    EXPECT_EQ(rowStateOf(*model, held).notice,
              c.notice ? std::optional(std::string(PortCore::outcomeText(c.outcome).key)) : std::nullopt);
    f.settle();
    f.advance(std::max(c.rescanAfter - 1ms, 0ms));
    EXPECT_EQ(fakes.scans, c.rescanAfter > 0ms ? 0 : 1);
    f.advance(1ms);
    EXPECT_EQ(fakes.scans, 1);
    // A noticed row stays beside the new process on its port until the notice expires.
    EXPECT_EQ(model->state().entries().size(), c.notice ? 3u : 2u);
    f.advance(ActionRunner::kNoticeDuration);
    EXPECT_EQ(model->state().entries(), (std::vector<PortEntry>{restarted, svc}));
    EXPECT_EQ(f.scheduler->pending(), 0u);
  }
}

// From the item's menu: a stop confirmed there acts at once; while the panel
// is closed no row shows what came of it, so a refusal or failure becomes a
// desktop notification. The notifier's scans feed the model only then.
TEST_F(PanelControllerTest, TheMenusStopsActAtOnceAndTellWhatCameOfThemWhileThePanelIsClosed) {
  using enum PanelVisibility;
  const std::tuple<PanelVisibility, ActionOutcome, std::vector<std::string>> cases[] = {
      {Closed, ActionOutcome::Done, {"kill 13000"}},
      {Closed, ActionOutcome::NotPermitted, {"kill 13000", "notify 3000 not_permitted"}},
      {Closed, ActionOutcome::ProcessChanged, {"kill 13000", "notify 3000 process_changed"}},
      {Shown, ActionOutcome::NotPermitted, {"kill 13000"}},
  };
  for (const auto& [visibility, outcome, log] : cases) {
    PanelFixture f;
    auto model = f.modelWith({web, svc});
    model->state().setVisibility(visibility);
    f.fakes->outcome = outcome;
    model->controller().act(RowAction::Stop, web, Confirmation::Given);
    f.settle();
    EXPECT_EQ(f.fakes->log, log);

    model->state().applyPolledScan({{nginx, svc}, {}}, {});
    EXPECT_EQ(std::ranges::count(model->state().entries(), nginx), visibility == Shown ? 0 : 1);
  }
}

// A restart whose port stays free: one look per interval in the background, no
// worker held, then the row is listed again with the log to read, until Escape
// dismisses it or its time is up.
TEST_F(PanelControllerTest, ARestartThatDoesNotComeBackSaysSoWithItsLog) {
  for (bool dismissed : {false, true}) {
    SCOPED_TRACE(dismissed ? "dismissed" : "expired");
    PanelFixture f;
    FakeSeams& fakes = *f.fakes;
    fakes.startTime = 77;
    auto model = f.modelWith({web, svc});
    model->controller().act(RowAction::Restart, web);
    model->controller().confirmPending();
    fakes.ports = {svc};
    f.settle();
    const std::string log = "/state/tarnwick/restart-3000.log";
    EXPECT_EQ(fakes.restartLogs, (std::vector<std::optional<std::string>>{log}));
    const auto looks = ActionRunner::kRestartWait / PortCore::kPortWatchInterval - 1;
    for (int i = 0; i < looks; ++i) f.advance(PortCore::kPortWatchInterval);
    EXPECT_EQ(fakes.holderLooks, looks);
    EXPECT_EQ(rowStateOf(*model, web).notice, std::nullopt);
    f.advance(PortCore::kPortWatchInterval);
    EXPECT_EQ(fakes.scans, 1);
    EXPECT_EQ(rowStateOf(*model, web).notice, "restart_not_back");
    EXPECT_EQ(rowStateOf(*model, web).noticeArguments, (std::vector<FormatArg>{int64_t{15}, log}));
    if (dismissed)
      EXPECT_EQ(model->controller().key(PanelKey::Escape), KeyResult::Handled);
    else
      f.advance(ActionRunner::kNotBackDuration);
    f.settle();
    EXPECT_EQ(model->state().entries(), std::vector<PortEntry>{svc});
    EXPECT_EQ(f.scheduler->pending(), 0u);
  }
}

// The system's scan and stops, with a docker client standing in for the user's.
struct RealStopSeams final : FakeSeams {
  explicit RealStopSeams(Docker::Client client) : client(std::move(client)) {}
  PortCore::PortScan scanPorts() override { return PortCore::scanPorts(); }
  ContainerMap containerPorts() override { return Docker::fetchContainerPorts(client); }
  ActionOutcome killProcess(const ProcessIdentity& target, Force force) override {
    return PortCore::killProcess(target, force);
  }
  void dockerStop(const std::string& name) override { Docker::stop(client, name); }
  Docker::Client client;
};

// A container publishing the port of a real listener: the row is the
// container's only when the listener is a container's proxy; a process of the
// user's is stopped, never the container.
TEST(PanelStop, AListenerOnAPublishedPortIsStoppedUnlessAContainersProxyHoldsIt) {
  for (const std::string program : {"tw_listener", "docker-proxy"}) {
    SCOPED_TRACE(program);
    const bool proxy = program == "docker-proxy";
    TempDir dir;
    const std::string path = dir.path() + "/" + program;
    std::filesystem::copy_file(listenerPath(), path);
    TestProcess listener = TestProcess::start({path, "--bind", "127.0.0.1:0"});
    const std::optional<std::string> bound = listener.readLine();
    ASSERT_TRUE(bound && bound->starts_with("port ") && listener.readLine() == "ready");
    FakeToolRunner runner;
    runner.outputs["/stand-in/docker"] = "web\t0.0.0.0:" + bound->substr(5) + "->3000/tcp\n";
    PanelFixture f;
    f.fakes = std::make_shared<RealStopSeams>(Docker::Client{"/stand-in/docker", runner});
    auto model = f.makeModel();
    model->state().refresh();
    f.settle();
    std::optional<PanelRow> row;
    for (const PanelRow& listed : model->state().rows().ordered())
      if (listed.entry.pid == listener.pid()) row = listed;
    ASSERT_TRUE(row);
    EXPECT_EQ(row->dockerName, proxy ? std::optional<std::string>("web") : std::nullopt);

    model->controller().act(RowAction::Stop, row->entry);
    if (model->controller().pendingKill()) model->controller().confirmPending();
    f.settle();
    EXPECT_EQ(listener.waitForExit(proxy ? 100ms : 5s), !proxy) << "whether the process was stopped";
    const bool containerStopped = std::any_of(runner.calls.begin(), runner.calls.end(), [](const auto& call) {
      return call.args == std::vector<std::string>{"stop", "web"};
    });
    EXPECT_EQ(containerStopped, proxy);
  }
}

// Watching writes the set stored now, which the notifier or another panel may
// have changed since the panel read it: a watch set elsewhere is not lost.
TEST_F(PanelControllerTest, WatchingWritesOntoTheSetStoredNow) {
  auto model = fixture.modelWith({web});
  fixture.fakes->storedWatched = {5000};
  model->controller().act(RowAction::Watch, web);
  EXPECT_EQ(fixture.fakes->storedWatched, (std::set<int64_t>{3000, 5000}));
}

}  // namespace
