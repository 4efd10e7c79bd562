#include "ui/panel_state.h"

#include "integrations/container_holder.h"
#include "integrations/dev_count.h"
#include "integrations/stored_values.h"
#include "integrations/preferences.h"
#include "ui/qt_task_executors.h"

#include <algorithm>

using namespace std::chrono_literals;

namespace {

constexpr const char* kPanelMaxHeight = "panelMaxHeight";
constexpr const char* kConfirmBeforeKill = "confirmBeforeKill";
constexpr const char* kRefreshInterval = "refreshInterval";
constexpr const char* kHiddenPorts = "hiddenPorts";
constexpr const char* kAppLanguage = "appLanguage";

std::chrono::milliseconds pauseOf(double seconds) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::duration<double>(seconds));
}

PanelEnvironment realEnvironment(QObject* model, std::shared_ptr<PanelServices> services,
                                 std::shared_ptr<Executor> background) {
  PanelEnvironment env;
  env.services = std::move(services);
  env.gui = std::make_shared<GuiThreadExecutor>(model);
  env.background = std::move(background);
  env.actions = std::make_shared<ThreadPoolExecutor>();
  env.scheduler = std::make_shared<TimerScheduler>(model);
  env.clock = &PortCore::systemClock();
  return env;
}

// What a confirmed request runs. A container is stopped by name; a process
// only by the identity the row showed.
ActionOutcome carryOut(PanelServices& services, const PendingKill& request,
                       const std::optional<std::string>& container, const std::optional<std::string>& log) {
  if (container && !request.restart) {
    services.dockerStop(*container);
    return ActionOutcome::Done;
  }
  if (!request.identity) return ActionOutcome::ProcessChanged;
  if (request.restart) return services.restartTree(*request.identity, log);
  if (request.tree) return services.killTree(*request.identity);
  return services.killProcess(*request.identity, request.force ? Force::Yes : Force::No);
}

// Sorted as the scan sorts: by port, then PID.
void insertInScanOrder(std::vector<PortEntry>& entries, const PortEntry& entry) {
  auto at = std::find_if(entries.begin(), entries.end(), [&](const PortEntry& e) {
    return e.port > entry.port || (e.port == entry.port && e.pid > entry.pid);
  });
  entries.insert(at, entry);
}

}  // namespace

PanelState::PanelState(QObject* parent, std::shared_ptr<PanelServices> services,
                             std::shared_ptr<Executor> background)
    : QObject(parent) {
  // Built here, not in the initialiser list: the executors guard on this
  // object, which must be a QObject by then.
  env_ = realEnvironment(this, std::move(services), std::move(background));
  loadStores();
  startRefresher();
  startController();
}

PanelState::PanelState(PanelEnvironment environment, QObject* parent)
    : QObject(parent), env_(std::move(environment)) {
  loadStores();
  startRefresher();
  startController();
}

void PanelState::startRefresher() {
  PanelRefresher::Panel panel{
      .listedEntries = [this]() -> const std::vector<PortEntry>& { return entries_; },
      .apply = [this](PanelRefresher::Fresh fresh) { applyFresh(std::move(fresh)); },
      .healthChanged = [this] { emit changed(); },
  };
  refresher_ = std::make_unique<PanelRefresher>(
      PanelRefresher::Seams{env_.services, env_.gui, env_.background, env_.scheduler, env_.clock},
      std::move(panel), pauseOf(settings_.refreshInterval));
}

void PanelState::startController() {
  PanelController::Panel panel{
      .orderedRows = [this] { return orderedRows(); },
      .identityOf = [this](int32_t pid) { return PortCore::identityOf(pid, holders_); },
      .confirmBeforeKill = [this] { return settings_.confirmBeforeKill; },
      .clearSearch =
          [this] {
            if (searchText_.isEmpty()) return false;
            setSearchText(QString());
            return true;
          },
      .dismissNotice =
          [this] {
            if (!notice_) return false;
            clearNotice();
            return true;
          },
      .perform = [this](const PendingKill& request) { perform(request); },
      .hidePort = [this](int64_t port) { hidePort(port); },
      .storesWritten = [this] { applyStores(); },
      .changed = [this] { emit changed(); },
  };
  controller_ = std::make_unique<PanelController>(env_.services, env_.gui, env_.background, std::move(panel));
}

void PanelState::loadStores() {
  startAtLogin_ = env_.services->startsAtLogin();
  settings_ = PanelSettings::read(env_.services->preferences());
  labels_ = env_.services->labels();
  watched_ = env_.services->watched();
  // The store may call from any thread; the task checks on the GUI thread
  // that the model is still there.
  storeSubscription_ = env_.services->preferences().subscribe(
      [this, gui = env_.gui, alive = std::weak_ptr<const bool>(alive_)] {
        gui->post([this, alive] {
          if (alive.lock()) applyStores();
        });
      });
}

void PanelState::applyStores() {
  auto settings = PanelSettings::read(env_.services->preferences());
  auto labels = env_.services->labels();
  auto watched = env_.services->watched();
  if (settings != settings_) {
    settings_ = std::move(settings);
    refresher_->setInterval(pauseOf(settings_.refreshInterval));
  }
  labels_ = std::move(labels);
  watched_ = std::move(watched);
  emit changed();
}

PanelState::~PanelState() {
  env_.services->preferences().unsubscribe(storeSubscription_);
  if (notice_) env_.scheduler->cancel(notice_->timer);
  for (const auto& [port, watch] : restartWatches_) {
    env_.scheduler->cancel(watch.giveUp);
    if (watch.nextLook) env_.scheduler->cancel(*watch.nextLook);
  }
}

// ---- View state ------------------------------------------------------------

void PanelState::setShowSettings(bool shown) {
  if (showSettings_ == shown) return;
  showSettings_ = shown;
  emit changed();
}

void PanelState::setStartAtLogin(bool enabled) {
  if (startAtLogin_ == enabled) return;
  startAtLogin_ = enabled;
  if (enabled)
    env_.services->enableStartAtLogin();
  else
    env_.services->disableStartAtLogin();
  emit changed();
}

void PanelState::setSearchText(const QString& text) {
  if (searchText_ == text) return;
  searchText_ = text;
  emit changed();
}

void PanelState::setExposedOnly(bool only) {
  if (exposedOnly_ == only) return;
  exposedOnly_ = only;
  emit changed();
}

// ---- Settings ----------------------------------------------------------------

PanelSettings PanelSettings::read(const Preferences& store) {
  PanelSettings settings;
  settings.panelMaxHeight = withinRange(store.number(kPanelMaxHeight), PanelSettings::kPanelMaxHeightRange);
  settings.confirmBeforeKill = store.boolean(kConfirmBeforeKill).value_or(true);
  settings.refreshInterval = withinRange(store.number(kRefreshInterval), PanelSettings::kRefreshIntervalRange);
  settings.hiddenPortsRaw = QString::fromStdString(store.text(kHiddenPorts).value_or(""));
  settings.appLanguage = QString::fromStdString(store.text(kAppLanguage).value_or("system"));
  return settings;
}

// Each setter applies the store at once rather than waiting for its signal,
// so the model reads what was just written.
void PanelState::setPanelMaxHeight(double points) {
  env_.services->preferences().setNumber(kPanelMaxHeight, points);
  applyStores();
}

void PanelState::setConfirmBeforeKill(bool confirm) {
  env_.services->preferences().setBoolean(kConfirmBeforeKill, confirm);
  applyStores();
}

void PanelState::setRefreshInterval(double seconds) {
  env_.services->preferences().setNumber(kRefreshInterval, seconds);
  applyStores();
}

void PanelState::setHiddenPortsRaw(const QString& raw) {
  env_.services->preferences().setText(kHiddenPorts, raw.toStdString());
  applyStores();
}

void PanelState::setAppLanguage(const QString& language) {
  env_.services->preferences().setText(kAppLanguage, language.toStdString());
  applyStores();
}

// ---- Derived lists -------------------------------------------------------------

std::set<int64_t> PanelState::hiddenPorts() const {
  return parsePortSet(settings_.hiddenPortsRaw.toStdString());
}

PanelRows PanelState::rows() const {
  return panelRows({.entries = entries_,
                    .loaded = loaded_,
                    .search = searchText_.toStdString(),
                    .exposedOnly = exposedOnly_,
                    .hidden = hiddenPorts(),
                    .labels = labels_,
                    .dockerNames = dockerNames_,
                    .stats = stats_,
                    .health = health()});
}

std::vector<PortEntry> PanelState::orderedRows() const {
  std::vector<PortEntry> entries;
  for (const PanelRow& row : rows().ordered()) entries.push_back(row.entry);
  return entries;
}

RowState PanelState::rowState(const PanelRow& listed) const {
  const PortEntry& entry = listed.entry;
  RowState row;
  row.entry = entry;
  row.label = listed.label;
  row.dockerName = listed.dockerName;
  row.healthy = listed.healthy;
  row.stat = listed.stat;
  const std::optional<PendingKill>& pending = controller_->pendingKill();
  row.isSelected = controller_->selection() == entry.id();
  row.isConfirming = pending && pending->entry.id() == entry.id();
  row.confirmingTree = row.isConfirming && pending->tree;
  row.confirmingForce = row.isConfirming && pending->force;
  row.confirmingRestart = row.isConfirming && pending->restart;
  row.isWatched = watched_.contains(entry.port);
  row.isEditingLabel = controller_->editingLabelPort() == entry.port;
  row.editorName = controller_->editorName();
  if (notice_ && notice_->entry.id() == entry.id()) {
    row.notice = notice_->key;
    row.noticeArguments = notice_->arguments;
  }
  return row;
}

TrayMenuInputs PanelState::trayMenuInputs() const {
  return {.entries = entries_,
          .hidden = hiddenPorts(),
          .labels = labels_,
          .dockerNames = dockerNames_,
          .watched = watched_,
          .confirmBeforeKill = settings_.confirmBeforeKill,
          .editorName = controller_->editorName()};
}

// ---- What the refresher found ---------------------------------------------------

void PanelState::applyFresh(PanelRefresher::Fresh fresh) {
  if (fresh.docker) dockerNames_ = std::move(*fresh.docker);
  if (fresh.scan) {
    std::vector<int64_t> ports;
    for (const PortEntry& e : fresh.scan->entries) ports.push_back(e.port);
    env_.services->setDevCount(static_cast<int>(DevCount::of(ports)));
    loaded_ = true;
    applyScan(std::move(*fresh.scan));
  }
  if (fresh.stats) stats_ = std::move(*fresh.stats);
  emit changed();
}

void PanelState::applyScan(PortCore::PortScan scan) {
  entries_ = std::move(scan.entries);
  holders_ = std::move(scan.holders);
  // A row whose action failed stays until its notice has been read.
  if (notice_ && std::none_of(entries_.begin(), entries_.end(),
                              [&](const PortEntry& e) { return e.id() == notice_->entry.id(); }))
    insertInScanOrder(entries_, notice_->entry);
}

void PanelState::setPanelShown(bool shown) {
  panelShown_ = shown;
  refresher_->setRunning(shown);
}

void PanelState::applyPolledScan(PortCore::PortScan scan, ContainerMap containers) {
  if (panelShown_) return;
  applyFresh({.scan = std::move(scan), .docker = std::move(containers), .stats = std::nullopt});
}

// ---- Stops ---------------------------------------------------------------------

void PanelState::perform(const PendingKill& request) {
  // The row's own rule: a container is stopped only where the row showed one.
  std::optional<std::string> container = Docker::containerHolding(request.entry, dockerNames_);
  env_.actions->post([this, services = env_.services, gui = env_.gui, request, container] {
    std::optional<std::string> log;
    if (request.restart && request.identity) log = services->restartLog(request.entry.port);
    ActionOutcome outcome = carryOut(*services, request, container, log);
    gui->post([this, request, outcome, log] { applyOutcome(request, outcome, log); });
  });
}

void PanelState::applyOutcome(const PendingKill& request, ActionOutcome outcome,
                              const std::optional<std::string>& log) {
  refresher_->forgetScansInFlight();
  if (outcome == ActionOutcome::ProcessChanged) {
    // What the row showed has gone: it is not left on screen to be acted on again.
    std::erase_if(entries_, [&](const PortEntry& e) { return e.id() == request.entry.id(); });
    emit changed();
  } else if (outcome != ActionOutcome::Done) {
    showNotice(request.entry, std::string(PortCore::outcomeText(outcome).key));
  }
  // Started from the item's menu, or the panel closed meanwhile: no row shows it.
  if (!panelShown_ && outcome != ActionOutcome::Done)
    env_.services->notifyOutcome(request.entry.port, std::string(PortCore::outcomeText(outcome).key));
  if (request.restart && outcome == ActionOutcome::Done) {
    // The restarted command needs a moment to bind its port again.
    watchRestart(request, log);
    return;
  }
  refresher_->rescan();
}

void PanelState::showNotice(const PortEntry& entry, std::string key, std::vector<FormatArg> arguments,
                            std::chrono::milliseconds duration) {
  if (notice_) env_.scheduler->cancel(notice_->timer);
  auto timer = env_.scheduler->schedule(duration, [this] { clearNotice(); });
  notice_ = Notice{entry, std::move(key), std::move(arguments), timer};
  // Listed again at once, not only at the next scan.
  if (std::none_of(entries_.begin(), entries_.end(), [&](const PortEntry& e) { return e.id() == entry.id(); }))
    insertInScanOrder(entries_, entry);
  emit changed();
}

// A row kept only for its notice goes with it.
void PanelState::clearNotice() {
  if (!notice_) return;
  env_.scheduler->cancel(notice_->timer);
  notice_.reset();
  emit changed();
  refresher_->rescan();
}

// ---- Restarts watched ----------------------------------------------------------

void PanelState::watchRestart(const PendingKill& request, const std::optional<std::string>& log) {
  const int64_t port = request.entry.port;
  if (auto old = restartWatches_.find(port); old != restartWatches_.end()) {
    env_.scheduler->cancel(old->second.giveUp);
    if (old->second.nextLook) env_.scheduler->cancel(*old->second.nextLook);
  }
  auto giveUp = env_.scheduler->schedule(kRestartWait, [this, port] { restartNotBack(port); });
  restartWatches_.insert_or_assign(port, RestartWatch{request.entry, *request.identity, log, giveUp, {}});
  scheduleLook(port);
}

void PanelState::scheduleLook(int64_t port) {
  restartWatches_.at(port).nextLook =
      env_.scheduler->schedule(PortCore::kPortWatchInterval, [this, port] { lookForRestarted(port); });
}

void PanelState::lookForRestarted(int64_t port) {
  auto watch = restartWatches_.find(port);
  if (watch == restartWatches_.end()) return;
  watch->second.nextLook.reset();
  env_.background->post([this, services = env_.services, gui = env_.gui, port, former = watch->second.former] {
    bool back = services->portHolder(port, {former}).has_value();
    gui->post([this, port, back] { lookedForRestarted(port, back); });
  });
}

void PanelState::lookedForRestarted(int64_t port, bool back) {
  auto watch = restartWatches_.find(port);
  // Given up while the look ran, or the port restarted again and its new
  // watch has a look of its own due.
  if (watch == restartWatches_.end() || watch->second.nextLook) return;
  if (!back) {
    scheduleLook(port);
    return;
  }
  env_.scheduler->cancel(watch->second.giveUp);
  restartWatches_.erase(watch);
  refresher_->rescan();
}

void PanelState::restartNotBack(int64_t port) {
  auto found = restartWatches_.find(port);
  if (found == restartWatches_.end()) return;
  RestartWatch watch = std::move(found->second);
  restartWatches_.erase(found);
  if (watch.nextLook) env_.scheduler->cancel(*watch.nextLook);
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(kRestartWait).count();
  if (watch.log)
    showNotice(watch.entry, "restart_not_back", {int64_t{seconds}, *watch.log}, kNotBackDuration);
  else
    showNotice(watch.entry, "restart_not_back_no_log", {int64_t{seconds}}, kNotBackDuration);
  refresher_->rescan();
}

void PanelState::hidePort(int64_t port) {
  std::set<int64_t> ports = hiddenPorts();
  ports.insert(port);
  setHiddenPortsRaw(QString::fromStdString(joinPortSet(ports)));
}
