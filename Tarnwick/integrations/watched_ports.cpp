// The watched ports live in the preferences store as decimal numbers joined by ",".
#include "integrations/panel_settings.h"
#include "integrations/port_notifier.h"
#include "integrations/stored_values.h"
#include "integrations/preferences.h"

std::set<int64_t> PortNotifier::watched(const Preferences& preferences) {
  auto stored = preferences.text(SettingKey::kWatchedPorts);
  return stored ? parsePortSet(*stored) : std::set<int64_t>{};
}

void PortNotifier::setWatched(Preferences& preferences, const std::set<int64_t>& ports) {
  preferences.setText(SettingKey::kWatchedPorts, joinPortSet(ports));
}
