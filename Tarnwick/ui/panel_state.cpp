#include "ui/panel_state.h"

#include "integrations/container_holder.h"
#include "integrations/dev_count.h"
#include "integrations/stored_values.h"
#include "integrations/preferences.h"

#include <algorithm>

namespace {

std::chrono::milliseconds pauseOf(double seconds) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::duration<double>(seconds));
}

// Sorted as the scan sorts: by port, then PID.
void insertInScanOrder(std::vector<PortEntry>& entries, const PortEntry& entry) {
  auto at = std::find_if(entries.begin(), entries.end(), [&](const PortEntry& e) {
    return e.port > entry.port || (e.port == entry.port && e.pid > entry.pid);
  });
  entries.insert(at, entry);
}

bool lists(const std::vector<PortEntry>& entries, const PortEntry& entry) {
  return std::any_of(entries.begin(), entries.end(), [&](const PortEntry& e) { return e.id() == entry.id(); });
}

}  // namespace

PanelState::PanelState(const PanelStateSeams& environment, QObject* parent)
    : QObject(parent), env_(environment) {
  loadStores();
  refresher_ = std::make_unique<PanelRefresher>(
      PanelRefresher::Seams{env_.seams.scans, env_.gui, env_.background, env_.scheduler, env_.clock},
      pauseOf(settings_.refreshInterval));
  connect(refresher_.get(), &PanelRefresher::landed, this, &PanelState::applyFresh);
  connect(refresher_.get(), &PanelRefresher::healthChanged, this, &PanelState::changed);
  runner_ = std::make_unique<ActionRunner>(ActionRunner::Seams{env_.seams.actions, env_.seams.desktop, env_.gui,
                                                               env_.actions, env_.background, env_.scheduler});
  connect(runner_.get(), &ActionRunner::finished, this, &PanelState::applyFinished);
  connect(runner_.get(), &ActionRunner::noticeChanged, this, &PanelState::applyNotice);
  connect(runner_.get(), &ActionRunner::restartSettled, this, [this] { refresher_->rescan(); });
  // The name takes a search of the system: the menu offers the editor once it is known.
  env_.background->post(
      [desktop = env_.seams.desktop, gui = env_.gui, this, alive = std::weak_ptr<const bool>(alive_)] {
        std::string name = desktop->editorName();
        gui->post([this, alive, name = std::move(name)] {
          if (!alive.lock()) return;
          editorName_ = name;
          emit changed();
        });
      });
}

void PanelState::loadStores() {
  PanelStores& stores = *env_.seams.stores;
  startAtLogin_ = stores.startsAtLogin();
  settings_ = PanelSettings::read(stores.preferences());
  labels_ = stores.labels();
  watched_ = stores.watched();
  // The store may call from any thread; the task checks on the GUI thread
  // that the model is still there.
  storeSubscription_ =
      stores.preferences().subscribe([this, gui = env_.gui, alive = std::weak_ptr<const bool>(alive_)] {
        gui->post([this, alive] {
          if (alive.lock()) applyStores();
        });
      });
}

void PanelState::applyStores() {
  PanelStores& stores = *env_.seams.stores;
  auto settings = PanelSettings::read(stores.preferences());
  if (settings != settings_) {
    settings_ = std::move(settings);
    refresher_->setInterval(pauseOf(settings_.refreshInterval));
  }
  labels_ = stores.labels();
  watched_ = stores.watched();
  emit changed();
}

PanelState::~PanelState() {
  env_.seams.stores->preferences().unsubscribe(storeSubscription_);
}

std::optional<ProcessIdentity> PanelState::identityOf(int32_t pid) const {
  return PortCore::identityOf(pid, holders_);
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
  env_.seams.stores->setStartAtLogin(enabled ? LoginStart::On : LoginStart::Off);
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

// Each setter applies the store at once rather than waiting for its signal,
// so the model reads what was just written.
void PanelState::setPanelMaxHeight(double points) {
  env_.seams.stores->preferences().setNumber(SettingKey::kPanelMaxHeight, points);
  applyStores();
}

void PanelState::setConfirmBeforeKill(bool confirm) {
  env_.seams.stores->preferences().setBoolean(SettingKey::kConfirmBeforeKill, confirm);
  applyStores();
}

void PanelState::setRefreshInterval(double seconds) {
  env_.seams.stores->preferences().setNumber(SettingKey::kRefreshInterval, seconds);
  applyStores();
}

void PanelState::setHiddenPortsRaw(const QString& raw) {
  env_.seams.stores->preferences().setText(SettingKey::kHiddenPorts, raw.toStdString());
  applyStores();
}

void PanelState::hidePort(int64_t port) {
  std::set<int64_t> ports = hiddenPorts();
  ports.insert(port);
  setHiddenPortsRaw(QString::fromStdString(joinPortSet(ports)));
}

void PanelState::setAppLanguage(const QString& language) {
  env_.seams.stores->preferences().setText(SettingKey::kAppLanguage, language.toStdString());
  applyStores();
}

// ---- Derived lists -------------------------------------------------------------

std::set<int64_t> PanelState::hiddenPorts() const { return parsePortSet(settings_.hiddenPortsRaw); }

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

TrayMenuInputs PanelState::trayMenuInputs() const {
  return {.entries = entries_,
          .hidden = hiddenPorts(),
          .labels = labels_,
          .dockerNames = dockerNames_,
          .watched = watched_,
          .confirmBeforeKill = settings_.confirmBeforeKill,
          .editorName = editorName_};
}

// ---- What the refresher found ---------------------------------------------------

void PanelState::applyFresh(const PanelRefresher::Fresh& fresh) {
  if (fresh.docker) dockerNames_ = *fresh.docker;
  if (fresh.scan) {
    std::vector<int64_t> ports;
    for (const PortEntry& e : fresh.scan->entries) ports.push_back(e.port);
    env_.seams.desktop->setDevCount(static_cast<int>(DevCount::of(ports)));
    loaded_ = true;
    applyScan(*fresh.scan);
  }
  if (fresh.stats) stats_ = *fresh.stats;
  emit changed();
}

void PanelState::applyScan(PortCore::PortScan scan) {
  entries_ = std::move(scan.entries);
  holders_ = std::move(scan.holders);
  // A row whose action failed stays until its notice has been read.
  if (notice() && !lists(entries_, notice()->entry)) insertInScanOrder(entries_, notice()->entry);
  listEntries();
}

void PanelState::listEntries() { refresher_->setListed(entries_); }

void PanelState::setVisibility(PanelVisibility visibility) {
  visibility_ = visibility;
  runner_->setVisibility(visibility);
  refresher_->setLoops(visibility == PanelVisibility::Shown ? PanelRefresher::Loops::Running
                                                            : PanelRefresher::Loops::Stopped);
}

void PanelState::applyPolledScan(PortCore::PortScan scan, ContainerMap containers) {
  if (visibility_ == PanelVisibility::Shown) return;
  applyFresh({.scan = std::move(scan), .docker = std::move(containers), .stats = std::nullopt});
}

// ---- Stops ---------------------------------------------------------------------

void PanelState::perform(const PendingKill& request) {
  // The row's own rule: a container is stopped only where the row showed one.
  runner_->run(request, Docker::containerHolding(request.entry, dockerNames_));
}

void PanelState::applyFinished(const ActionRunner::Finished& finished) {
  refresher_->forgetScansInFlight();
  if (finished.outcome == ActionOutcome::ProcessChanged) {
    // What the row showed has gone: it is not left on screen to be acted on again.
    std::erase_if(entries_, [&](const PortEntry& e) { return e.id() == finished.request.entry.id(); });
    listEntries();
    emit changed();
  }
  // A restart that worked is rescanned once its port is held again.
  if (!(finished.request.restart && finished.outcome == ActionOutcome::Done)) refresher_->rescan();
}

// A notice's row is listed at once, not only at the next scan; a row kept
// only for its notice goes with it.
void PanelState::applyNotice() {
  if (notice()) {
    if (!lists(entries_, notice()->entry)) insertInScanOrder(entries_, notice()->entry);
    listEntries();
    emit changed();
    return;
  }
  emit changed();
  refresher_->rescan();
}
