#include "ui/real_panel_seams.h"

#include "core/probe/loopback_prober.h"
#include "core/process/restart_log.h"
#include "core/scan/scan.h"
#include "core/scan/scan_source.h"
#include "core/stats/cpu_history.h"
#include "integrations/dev_count.h"
#include "integrations/editor.h"
#include "integrations/l10n.h"
#include "integrations/login_item.h"
#include "integrations/notification_sink.h"
#include "integrations/port_notifier.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

// ---- Scans ---------------------------------------------------------------------

PortCore::PortScan RealPanelScans::scanPorts() { return PortCore::scanPorts(source_); }

ContainerMap RealPanelScans::containerPorts() {
  return Docker::containerPorts(Docker::systemClient(), docker_, PortCore::systemClock());
}

// The panel's refresh and its live loop both sample the one history, so each
// sample measures from the one before it.
StatsMap RealPanelScans::stats(const std::vector<int32_t>& pids) { return PortCore::stats(pids, history_); }

void RealPanelScans::probe(int64_t port, std::function<void(bool)> done) { prober_.submit(port, std::move(done)); }

// ---- Process actions -------------------------------------------------------------

ActionOutcome RealProcessActions::killProcess(const ProcessIdentity& target, Force force) {
  return PortCore::killProcess(target, force);
}

ActionOutcome RealProcessActions::killTree(const ProcessIdentity& leaf) {
  return PortCore::killTree(leaf, PortCore::systemControlSeams(source_));
}

ActionOutcome RealProcessActions::restartTree(const ProcessIdentity& leaf, const std::optional<std::string>& log) {
  return PortCore::restartTree(leaf, PortCore::systemControlSeams(source_), log);
}

std::optional<std::string> RealProcessActions::restartLog(int64_t port) { return PortCore::prepareRestartLog(port); }

std::optional<PortHolder> RealProcessActions::portHolder(int64_t port, const PortCore::FormerHolders& former) {
  return PortCore::lookForHolder(port, source_, former);
}

void RealProcessActions::dockerStop(const std::string& name) { Docker::stop(name); }

// ---- Stores ----------------------------------------------------------------------

std::set<int64_t> RealPanelStores::watched() { return PortNotifier::watched(preferences_); }

void RealPanelStores::setWatched(const std::set<int64_t>& ports) { PortNotifier::setWatched(preferences_, ports); }

LabelMap RealPanelStores::labels() { return PortLabels::all(preferences_); }

void RealPanelStores::setLabel(const std::optional<std::string>& label, int64_t port) {
  PortLabels::set(preferences_, label, port);
}

bool RealPanelStores::startsAtLogin() { return LoginItem::isEnabled(login_); }

void RealPanelStores::setStartAtLogin(LoginStart start) {
  if (start == LoginStart::On)
    LoginItem::enable(login_);
  else
    LoginItem::disable(login_);
}

// ---- Desktop ---------------------------------------------------------------------

std::string RealPanelDesktop::editorName() { return Editor::appName().value_or(Editor::fallbackName()); }

void RealPanelDesktop::openInEditor(const std::string& path) { Editor::open(path); }

void RealPanelDesktop::copyText(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(QString::fromStdString(text));
}

void RealPanelDesktop::openUrl(const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); }

void RealPanelDesktop::setDevCount(int count) { devCount_.setCount(count); }

void RealPanelDesktop::notifyOutcome(int64_t port, const std::string& key) {
  notifications_.post("Tarnwick", texts_.format("tray_outcome", {port, texts_.text(key)}));
}
