// Every value the panel and the notifier keep in the preferences store is read
// and written here, under the keys of panel_settings.h.
#include "integrations/panel_settings.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"
#include "integrations/stored_values.h"

PanelSettings PanelSettings::read(const Preferences& store) {
  PanelSettings settings;
  settings.panelMaxHeight = withinRange(store.number(SettingKey::kPanelMaxHeight), kPanelMaxHeightRange);
  settings.confirmBeforeKill = store.boolean(SettingKey::kConfirmBeforeKill).value_or(true);
  settings.refreshInterval = withinRange(store.number(SettingKey::kRefreshInterval), kRefreshIntervalRange);
  settings.hiddenPortsRaw = store.text(SettingKey::kHiddenPorts).value_or("");
  settings.appLanguage = store.text(SettingKey::kAppLanguage).value_or("system");
  return settings;
}

// The watched ports are kept as decimal numbers joined by ",".
std::set<int64_t> PortNotifier::watched(const Preferences& preferences) {
  auto stored = preferences.text(SettingKey::kWatchedPorts);
  return stored ? parsePortSet(*stored) : std::set<int64_t>{};
}

void PortNotifier::setWatched(Preferences& preferences, const std::set<int64_t>& ports) {
  preferences.setText(SettingKey::kWatchedPorts, joinPortSet(ports));
}
