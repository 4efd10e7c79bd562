#include "ui/panel_services.h"

#include "core/probe.h"
#include "core/scan.h"
#include "integrations/login_item.h"
#include "integrations/port_notifier.h"

RealPanelServices::RealPanelServices(std::function<void(int)> devCount)
    : devCount_(std::move(devCount)) {}

PortCore::PortScan RealPanelServices::scanPorts() { return PortCore::scanPorts(); }

ContainerMap RealPanelServices::containerPorts() { return Docker::containerPorts(); }

StatsMap RealPanelServices::stats(const std::vector<int32_t>& pids) {
  return PortCore::stats(pids);
}

ActionOutcome RealPanelServices::killProcess(const ProcessIdentity& target, Force force) {
  return PortCore::killProcess(target, force);
}

ActionOutcome RealPanelServices::killTree(const ProcessIdentity& leaf) {
  return PortCore::killTree(leaf);
}

ActionOutcome RealPanelServices::restartTree(const ProcessIdentity& leaf) {
  return PortCore::restartTree(leaf);
}

void RealPanelServices::dockerStop(const std::string& name) { Docker::stop(name); }

void RealPanelServices::probe(int64_t port, std::function<void(bool)> done) {
  PortCore::probeAsync(port, std::move(done));
}

std::set<int64_t> RealPanelServices::watched() { return PortNotifier::watched(); }

void RealPanelServices::setWatched(const std::set<int64_t>& ports) { PortNotifier::setWatched(ports); }

LabelMap RealPanelServices::labels() { return PortLabels::all(); }

void RealPanelServices::setLabel(const std::optional<std::string>& label, int64_t port) {
  PortLabels::set(label, port);
}

bool RealPanelServices::startsAtLogin() { return LoginItem::isEnabled(); }

void RealPanelServices::enableStartAtLogin() { LoginItem::enable(); }

void RealPanelServices::disableStartAtLogin() { LoginItem::disable(); }

void RealPanelServices::setDevCount(int count) {
  if (devCount_) devCount_(count);
}
