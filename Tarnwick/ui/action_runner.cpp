#include "ui/action_runner.h"

#include "core/scan/port_watch.h"

namespace {

// A container is stopped by name; a process only by the identity the row showed.
ActionOutcome carryOut(ProcessActions& actions, const PendingKill& request,
                       const std::optional<std::string>& container, const std::optional<std::string>& log) {
  if (container && !request.restart) {
    actions.dockerStop(*container);
    return ActionOutcome::Done;
  }
  if (!request.identity) return ActionOutcome::ProcessChanged;
  if (request.restart) return actions.restartTree(*request.identity, log);
  if (request.tree) return actions.killTree(*request.identity);
  return actions.killProcess(*request.identity, request.force ? Force::Yes : Force::No);
}

}  // namespace

ActionRunner::ActionRunner(Seams seams, QObject* parent) : QObject(parent), seams_(std::move(seams)) {}

ActionRunner::~ActionRunner() {
  if (noticeTimer_) seams_.scheduler->cancel(*noticeTimer_);
  for (const auto& [port, watch] : restartWatches_) {
    seams_.scheduler->cancel(watch.giveUp);
    if (watch.nextLook) seams_.scheduler->cancel(*watch.nextLook);
  }
}

void ActionRunner::run(const PendingKill& request, const std::optional<std::string>& container) {
  seams_.work->post([this, actions = seams_.actions, gui = seams_.gui, request, container] {
    std::optional<std::string> log;
    if (request.restart && request.identity) log = actions->restartLog(request.entry.port);
    ActionOutcome outcome = carryOut(*actions, request, container, log);
    gui->post([this, request, outcome, log] { land(request, outcome, log); });
  });
}

void ActionRunner::land(const PendingKill& request, ActionOutcome outcome, const std::optional<std::string>& log) {
  // A process that changed loses its row instead: there is nothing to read a notice on.
  if (outcome != ActionOutcome::Done && outcome != ActionOutcome::ProcessChanged)
    showNotice({request.entry, std::string(PortCore::outcomeText(outcome).key), {}});
  // Started from the item's menu, or the panel closed meanwhile: no row shows it.
  if (visibility_ == PanelVisibility::Closed && outcome != ActionOutcome::Done)
    seams_.desktop->notifyOutcome(request.entry.port, std::string(PortCore::outcomeText(outcome).key));
  // The restarted command needs a moment to bind its port again.
  if (request.restart && outcome == ActionOutcome::Done) watchRestart(request, log);
  emit finished({request, outcome});
}

// ---- Notices ---------------------------------------------------------------------

void ActionRunner::showNotice(Notice notice, std::chrono::milliseconds duration) {
  if (noticeTimer_) seams_.scheduler->cancel(*noticeTimer_);
  noticeTimer_ = seams_.scheduler->schedule(duration, [this] { clearNotice(); });
  notice_ = std::move(notice);
  emit noticeChanged();
}

bool ActionRunner::dismissNotice() {
  if (!notice_) return false;
  clearNotice();
  return true;
}

void ActionRunner::clearNotice() {
  if (!notice_) return;
  if (noticeTimer_) seams_.scheduler->cancel(*noticeTimer_);
  noticeTimer_.reset();
  notice_.reset();
  emit noticeChanged();
}

// ---- Restarts watched ----------------------------------------------------------

void ActionRunner::cancelTimers(int64_t port) {
  auto watch = restartWatches_.find(port);
  if (watch == restartWatches_.end()) return;
  seams_.scheduler->cancel(watch->second.giveUp);
  if (watch->second.nextLook) seams_.scheduler->cancel(*watch->second.nextLook);
}

void ActionRunner::watchRestart(const PendingKill& request, const std::optional<std::string>& log) {
  const int64_t port = request.entry.port;
  cancelTimers(port);
  auto giveUp = seams_.scheduler->schedule(kRestartWait, [this, port] { restartNotBack(port); });
  restartWatches_.insert_or_assign(port, RestartWatch{request.entry, *request.identity, log, giveUp, {}});
  scheduleLook(port);
}

void ActionRunner::scheduleLook(int64_t port) {
  restartWatches_.at(port).nextLook =
      seams_.scheduler->schedule(PortCore::kPortWatchInterval, [this, port] { lookForRestarted(port); });
}

void ActionRunner::lookForRestarted(int64_t port) {
  auto watch = restartWatches_.find(port);
  if (watch == restartWatches_.end()) return;
  watch->second.nextLook.reset();
  seams_.background->post(
      [this, actions = seams_.actions, gui = seams_.gui, port, former = watch->second.former] {
        std::optional<PortHolder> holder = actions->portHolder(port, {former});
        gui->post([this, port, holder] { lookedForRestarted(port, holder); });
      });
}

void ActionRunner::lookedForRestarted(int64_t port, const std::optional<PortHolder>& holder) {
  auto watch = restartWatches_.find(port);
  // Given up while the look ran, or the port restarted again and its new
  // watch has a look of its own due.
  if (watch == restartWatches_.end() || watch->second.nextLook) return;
  if (!holder) {
    scheduleLook(port);
    return;
  }
  cancelTimers(port);
  restartWatches_.erase(watch);
  emit restartSettled();
}

void ActionRunner::restartNotBack(int64_t port) {
  auto found = restartWatches_.find(port);
  if (found == restartWatches_.end()) return;
  cancelTimers(port);
  RestartWatch watch = std::move(found->second);
  restartWatches_.erase(found);
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(kRestartWait).count();
  if (watch.log)
    showNotice({watch.entry, "restart_not_back", {int64_t{seconds}, *watch.log}}, kNotBackDuration);
  else
    showNotice({watch.entry, "restart_not_back_no_log", {int64_t{seconds}}}, kNotBackDuration);
  emit restartSettled();
}
