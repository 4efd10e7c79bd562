#include "ui/panel_services.h"

#include "core/process/restart_log.h"
#include "core/scan/scan.h"
#include "integrations/editor.h"
#include "integrations/login_item.h"
#include "integrations/notification_sink.h"
#include "integrations/port_notifier.h"
#include "ui/app_context.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

PortCore::PortScan RealPanelServices::scanPorts() { return PortCore::scanPorts(context_.scanSource()); }

ContainerMap RealPanelServices::containerPorts() {
  return Docker::containerPorts(Docker::systemClient(), context_.dockerCache(), PortCore::systemClock());
}

// The panel's refresh and its live loop both sample the one history, so each
// sample measures from the one before it.
StatsMap RealPanelServices::stats(const std::vector<int32_t>& pids) {
  return PortCore::stats(pids, context_.cpuHistory());
}

ActionOutcome RealPanelServices::killProcess(const ProcessIdentity& target, Force force) {
  return PortCore::killProcess(target, force);
}

ActionOutcome RealPanelServices::killTree(const ProcessIdentity& leaf) {
  return PortCore::killTree(leaf, PortCore::systemControlSources(context_.scanSource()));
}

ActionOutcome RealPanelServices::restartTree(const ProcessIdentity& leaf, const std::optional<std::string>& log) {
  return PortCore::restartTree(leaf, PortCore::systemControlSources(context_.scanSource()), log);
}

std::optional<std::string> RealPanelServices::restartLog(int64_t port) { return PortCore::prepareRestartLog(port); }

std::optional<PortHolder> RealPanelServices::portHolder(int64_t port, const PortCore::FormerHolders& former) {
  return PortCore::lookForHolder(port, context_.scanSource(), former);
}

void RealPanelServices::dockerStop(const std::string& name) { Docker::stop(name); }

std::string RealPanelServices::editorName() { return Editor::appName().value_or(Editor::fallbackName()); }

void RealPanelServices::openInEditor(const std::string& path) { Editor::open(path); }

void RealPanelServices::probe(int64_t port, std::function<void(bool)> done) {
  context_.prober().submit(port, std::move(done));
}

Preferences& RealPanelServices::preferences() { return context_.preferences(); }

std::set<int64_t> RealPanelServices::watched() { return PortNotifier::watched(context_.preferences()); }

void RealPanelServices::setWatched(const std::set<int64_t>& ports) {
  PortNotifier::setWatched(context_.preferences(), ports);
}

LabelMap RealPanelServices::labels() { return PortLabels::all(context_.preferences()); }

void RealPanelServices::setLabel(const std::optional<std::string>& label, int64_t port) {
  PortLabels::set(context_.preferences(), label, port);
}

bool RealPanelServices::startsAtLogin() { return LoginItem::isEnabled(context_.loginService()); }

void RealPanelServices::enableStartAtLogin() { LoginItem::enable(context_.loginService()); }

void RealPanelServices::disableStartAtLogin() { LoginItem::disable(context_.loginService()); }

void RealPanelServices::setDevCount(int count) { context_.devCount().setCount(count); }

void RealPanelServices::copyText(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(QString::fromStdString(text));
}

void RealPanelServices::notifyOutcome(int64_t port, const std::string& key) {
  const L10n::Texts& texts = context_.texts();
  context_.notifications().post("Tarnwick", texts.format("tray_outcome", {port, texts.text(key)}));
}

void RealPanelServices::openUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}
