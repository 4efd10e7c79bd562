#include "ui/port_list_model.h"

#include "integrations/dev_count.h"
#include "integrations/port_set_text.h"
#include "integrations/preferences.h"
#include "integrations/setting_range.h"
#include "ui/qt_task_executors.h"

#include <algorithm>

using namespace std::chrono_literals;

namespace {

constexpr const char* kPanelMaxHeight = "panelMaxHeight";
constexpr const char* kConfirmBeforeKill = "confirmBeforeKill";
constexpr const char* kRefreshInterval = "refreshInterval";
constexpr const char* kHiddenPorts = "hiddenPorts";
constexpr const char* kAppLanguage = "appLanguage";

// Half a second keeps a scan from running back to back; an hour keeps the
// pause well inside a Qt timer's int milliseconds.
constexpr SettingRange kRefreshIntervalRange{0.5, 3600, 3};
constexpr SettingRange kPanelMaxHeightRange{240, 800, 480};
constexpr auto kRescanAfterRestart = 1500ms;

std::chrono::milliseconds pauseOf(double seconds) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::duration<double>(seconds));
}

PanelEnvironment realEnvironment(QObject* model, std::shared_ptr<PanelServices> services) {
  PanelEnvironment env;
  env.services = std::move(services);
  env.gui = std::make_shared<GuiThreadExecutor>(model);
  env.background = std::make_shared<ThreadPoolExecutor>();
  env.actions = std::make_shared<ThreadPoolExecutor>();
  env.scheduler = std::make_shared<TimerScheduler>(model);
  env.clock = &PortCore::systemClock();
  return env;
}

// What a confirmed request runs. A container is stopped by name; a process
// only by the identity the row showed.
ActionOutcome carryOut(PanelServices& services, const PendingKill& request,
                       const std::optional<std::string>& container) {
  if (container && !request.restart) {
    services.dockerStop(*container);
    return ActionOutcome::Done;
  }
  if (!request.identity) return ActionOutcome::ProcessChanged;
  if (request.restart) return services.restartTree(*request.identity);
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

PortListModel::PortListModel(QObject* parent, std::shared_ptr<PanelServices> services)
    : QObject(parent) {
  // Built here, not in the initialiser list: the executors guard on this
  // object, which must be a QObject by then.
  env_ = realEnvironment(this, std::move(services));
  loadStores();
  startRefresher();
}

PortListModel::PortListModel(PanelEnvironment environment, QObject* parent)
    : QObject(parent), env_(std::move(environment)) {
  loadStores();
  startRefresher();
}

void PortListModel::startRefresher() {
  PanelRefresher::Panel panel{
      .listedPids =
          [this] {
            std::vector<int32_t> pids;
            for (const PortEntry& e : entries_) pids.push_back(e.pid);
            return pids;
          },
      .apply = [this](PanelRefresher::Fresh fresh) { applyFresh(std::move(fresh)); },
      .healthChanged = [this] { notify(Health); },
  };
  refresher_ = std::make_unique<PanelRefresher>(
      PanelRefresher::Seams{env_.services, env_.gui, env_.background, env_.scheduler, env_.clock},
      std::move(panel), pauseOf(settings_.refreshInterval));
}

void PortListModel::loadStores() {
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

void PortListModel::applyStores() {
  auto settings = PanelSettings::read(env_.services->preferences());
  auto labels = env_.services->labels();
  auto watched = env_.services->watched();
  unsigned changes = 0;
  if (settings != settings_) {
    settings_ = std::move(settings);
    refresher_->setInterval(pauseOf(settings_.refreshInterval));
    changes |= Filter | Settings;
  }
  if (labels != labels_ || watched != watched_) {
    labels_ = std::move(labels);
    watched_ = std::move(watched);
    changes |= RowStates;
  }
  notify(changes);
}

PortListModel::~PortListModel() {
  env_.services->preferences().unsubscribe(storeSubscription_);
  if (notice_) env_.scheduler->cancel(notice_->timer);
}

void PortListModel::notify(unsigned changes) {
  if (changes & Entries) emit entriesChanged();
  if (changes & Stats) emit statsChanged();
  if (changes & Health) emit healthChanged();
  if (changes & RowStates) emit rowStatesChanged();
  if (changes & Filter) emit filterChanged();
  if (changes & Settings) emit settingsChanged();
  if (changes & LabelDraft) emit labelDraftChanged();
  emit changed();
}

// ---- View state ------------------------------------------------------------

void PortListModel::setShowSettings(bool shown) {
  if (showSettings_ == shown) return;
  showSettings_ = shown;
  notify(Settings);
}

void PortListModel::setStartAtLogin(bool enabled) {
  if (startAtLogin_ == enabled) return;
  startAtLogin_ = enabled;
  if (enabled)
    env_.services->enableStartAtLogin();
  else
    env_.services->disableStartAtLogin();
  notify(Settings);
}

void PortListModel::setSearchText(const QString& text) {
  if (searchText_ == text) return;
  searchText_ = text;
  notify(Filter);
}

void PortListModel::setSelection(const std::optional<std::string>& id) {
  if (selection_ == id) return;
  selection_ = id;
  notify(RowStates);
}

void PortListModel::setExposedOnly(bool only) {
  if (exposedOnly_ == only) return;
  exposedOnly_ = only;
  notify(Filter);
}

void PortListModel::setLabelDraft(const QString& draft) {
  if (labelDraft_ == draft) return;
  labelDraft_ = draft;
  notify(LabelDraft);
}

// ---- Settings ----------------------------------------------------------------

PanelSettings PanelSettings::read(const Preferences& store) {
  PanelSettings settings;
  settings.panelMaxHeight = withinRange(store.number(kPanelMaxHeight), kPanelMaxHeightRange);
  settings.confirmBeforeKill = store.boolean(kConfirmBeforeKill).value_or(true);
  settings.refreshInterval = withinRange(store.number(kRefreshInterval), kRefreshIntervalRange);
  settings.hiddenPortsRaw = QString::fromStdString(store.text(kHiddenPorts).value_or(""));
  settings.appLanguage = QString::fromStdString(store.text(kAppLanguage).value_or("system"));
  return settings;
}

// Each setter applies the store at once rather than waiting for its signal,
// so the model reads what was just written.
void PortListModel::setPanelMaxHeight(double points) {
  env_.services->preferences().setNumber(kPanelMaxHeight, points);
  applyStores();
}

void PortListModel::setConfirmBeforeKill(bool confirm) {
  env_.services->preferences().setBoolean(kConfirmBeforeKill, confirm);
  applyStores();
}

void PortListModel::setRefreshInterval(double seconds) {
  env_.services->preferences().setNumber(kRefreshInterval, seconds);
  applyStores();
}

void PortListModel::setHiddenPortsRaw(const QString& raw) {
  env_.services->preferences().setText(kHiddenPorts, raw.toStdString());
  applyStores();
}

void PortListModel::setAppLanguage(const QString& language) {
  env_.services->preferences().setText(kAppLanguage, language.toStdString());
  applyStores();
}

// ---- Derived lists -------------------------------------------------------------

std::set<int64_t> PortListModel::hiddenPorts() const {
  return parsePortSet(hiddenPortsRaw().toStdString());
}

PanelRows PortListModel::rows() const {
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

std::vector<PortEntry> PortListModel::orderedRows() const {
  std::vector<PortEntry> entries;
  for (const PanelRow& row : rows().ordered()) entries.push_back(row.entry);
  return entries;
}

RowState PortListModel::rowInputs(const PortEntry& entry) const {
  RowState row;
  row.entry = entry;
  row.isSelected = selection_ == entry.id();
  row.isConfirming = pendingKill_ && pendingKill_->entry.id() == entry.id();
  row.confirmingTree = row.isConfirming && pendingKill_->tree;
  row.confirmingForce = row.isConfirming && pendingKill_->force;
  row.confirmingRestart = row.isConfirming && pendingKill_->restart;
  if (auto it = labels_.find(std::to_string(entry.port)); it != labels_.end())
    row.label = it->second;
  if (auto it = dockerNames_.find(entry.port); it != dockerNames_.end())
    row.dockerName = it->second;
  if (auto it = health().find(entry.port); isDevPort(entry.port) && it != health().end())
    row.healthy = it->second;
  row.isWatched = watched_.contains(entry.port);
  row.isEditingLabel = editingLabelPort_ == entry.port;
  if (auto it = stats_.find(entry.pid); it != stats_.end()) row.stat = it->second;
  if (notice_ && notice_->entry.id() == entry.id()) row.notice = notice_->key;
  return row;
}

// ---- What the refresher found ---------------------------------------------------

void PortListModel::applyFresh(PanelRefresher::Fresh fresh) {
  unsigned changes = 0;
  if (fresh.docker) dockerNames_ = std::move(*fresh.docker);
  if (fresh.scan) {
    std::vector<int64_t> ports;
    for (const PortEntry& e : fresh.scan->entries) ports.push_back(e.port);
    env_.services->setDevCount(static_cast<int>(DevCount::of(ports)));
    loaded_ = true;
    applyScan(std::move(*fresh.scan));
    changes |= Entries;
  }
  if (fresh.stats) {
    stats_ = std::move(*fresh.stats);
    changes |= Stats;
  }
  notify(changes);
}

void PortListModel::applyScan(PortCore::PortScan scan) {
  entries_ = std::move(scan.entries);
  startTimes_ = std::move(scan.startTimes);
  // A row whose action failed stays until its notice has been read.
  if (notice_ && std::none_of(entries_.begin(), entries_.end(),
                              [&](const PortEntry& e) { return e.id() == notice_->entry.id(); }))
    insertInScanOrder(entries_, notice_->entry);
}

void PortListModel::setPanelShown(bool shown) {
  panelShown_ = shown;
  refresher_->setRunning(shown);
}

// ---- Keys ----------------------------------------------------------------------

void PortListModel::moveSelection(int delta) {
  std::vector<PortEntry> rows = orderedRows();
  if (rows.empty()) return;
  auto found = std::find_if(rows.begin(), rows.end(),
                            [&](const PortEntry& e) { return selection_ == e.id(); });
  std::ptrdiff_t last = static_cast<std::ptrdiff_t>(rows.size()) - 1;
  std::ptrdiff_t target;
  if (found != rows.end())
    target = std::clamp<std::ptrdiff_t>((found - rows.begin()) + delta, 0, last);
  else
    target = delta < 1 ? last : 0;
  setSelection(rows[static_cast<size_t>(target)].id());
}

KeyResult PortListModel::handleReturn() {
  if (editingLabelPort_) return KeyResult::Ignored;
  std::vector<PortEntry> rows = orderedRows();
  auto found = std::find_if(rows.begin(), rows.end(),
                            [&](const PortEntry& e) { return selection_ == e.id(); });
  if (found == rows.end()) return KeyResult::Ignored;
  if (pendingKill_ && pendingKill_->entry.id() == found->id())
    confirmPending();
  else
    requestKill(*found);
  return KeyResult::Handled;
}

KeyResult PortListModel::handleEscape() {
  if (editingLabelPort_) {
    editingLabelPort_.reset();
    notify(RowStates);
  } else if (pendingKill_) {
    cancelPending();
  } else if (!searchText_.isEmpty()) {
    setSearchText("");
  } else if (selection_) {
    setSelection(std::nullopt);
  } else {
    return KeyResult::Ignored;
  }
  return KeyResult::Handled;
}

// ---- Kill requests ---------------------------------------------------------------

void PortListModel::requestKill(const PortEntry& entry) { request(entry, false, false, false); }

void PortListModel::requestKillTree(const PortEntry& entry) { request(entry, true, false, false); }

void PortListModel::requestForceKill(const PortEntry& entry) { request(entry, false, true, false); }

void PortListModel::requestRestart(const PortEntry& entry) { request(entry, true, false, true); }

// The identity is the one the row showed when the request was made.
void PortListModel::request(const PortEntry& entry, bool tree, bool force, bool restart) {
  request({entry, PortCore::identityOf(entry.pid, startTimes_), tree, force, restart});
}

void PortListModel::request(const PendingKill& request) {
  if (!confirmBeforeKill() && !request.entry.isSystem()) {
    perform(request);
    return;
  }
  pendingKill_ = request;
  notify(RowStates);
}

void PortListModel::confirmPending() {
  if (!pendingKill_) return;
  PendingKill request = std::move(*pendingKill_);
  pendingKill_.reset();
  notify(RowStates);
  perform(request);
}

void PortListModel::cancelPending() {
  if (!pendingKill_) return;
  pendingKill_.reset();
  notify(RowStates);
}

void PortListModel::perform(const PendingKill& request) {
  std::optional<std::string> container;
  if (auto it = dockerNames_.find(request.entry.port); it != dockerNames_.end())
    container = it->second;
  env_.actions->post([this, services = env_.services, gui = env_.gui, request, container] {
    ActionOutcome outcome = carryOut(*services, request, container);
    gui->post([this, request, outcome] { applyOutcome(request, outcome); });
  });
}

void PortListModel::applyOutcome(const PendingKill& request, ActionOutcome outcome) {
  refresher_->forgetScansInFlight();
  if (outcome == ActionOutcome::ProcessChanged) {
    // What the row showed has gone: it is not left on screen to be acted on again.
    std::erase_if(entries_, [&](const PortEntry& e) { return e.id() == request.entry.id(); });
    notify(Entries);
  } else if (outcome != ActionOutcome::Done) {
    showNotice(request.entry, std::string(PortCore::outcomeText(outcome).key));
  }
  if (request.restart && outcome == ActionOutcome::Done) {
    // The restarted command needs a moment to bind its port again.
    env_.scheduler->schedule(kRescanAfterRestart, [this] { refresher_->rescan(); });
    return;
  }
  refresher_->rescan();
}

void PortListModel::showNotice(const PortEntry& entry, std::string key) {
  if (notice_) env_.scheduler->cancel(notice_->timer);
  auto timer = env_.scheduler->schedule(kNoticeDuration, [this] {
    notice_.reset();
    notify(RowStates);
    refresher_->rescan();
  });
  notice_ = Notice{entry, std::move(key), timer};
  notify(RowStates);
}

// ---- Per-port actions --------------------------------------------------------------

void PortListModel::toggleWatch(int64_t port) {
  // The stored set, not our copy: the notifier or another panel may have changed it.
  std::set<int64_t> ports = env_.services->watched();
  if (!ports.erase(port)) ports.insert(port);
  env_.services->setWatched(ports);
  watched_ = std::move(ports);
  notify(RowStates);
}

void PortListModel::startLabelEdit(int64_t port) {
  auto it = labels_.find(std::to_string(port));
  labelDraft_ = it != labels_.end() ? QString::fromStdString(it->second) : QString();
  editingLabelPort_ = port;
  notify(RowStates | LabelDraft);
}

void PortListModel::commitLabelEdit(int64_t port) {
  env_.services->setLabel(labelDraft_.toStdString(), port);
  labels_ = env_.services->labels();
  editingLabelPort_.reset();
  notify(RowStates | Filter);
}

void PortListModel::hidePort(int64_t port) {
  std::set<int64_t> ports = hiddenPorts();
  ports.insert(port);
  setHiddenPortsRaw(QString::fromStdString(joinPortSet(ports)));
}
