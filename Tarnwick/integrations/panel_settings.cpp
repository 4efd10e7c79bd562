#include "integrations/panel_settings.h"

PanelSettings PanelSettings::read(const Preferences& store) {
  PanelSettings settings;
  settings.panelMaxHeight = withinRange(store.number(SettingKey::kPanelMaxHeight), kPanelMaxHeightRange);
  settings.confirmBeforeKill = store.boolean(SettingKey::kConfirmBeforeKill).value_or(true);
  settings.refreshInterval = withinRange(store.number(SettingKey::kRefreshInterval), kRefreshIntervalRange);
  settings.hiddenPortsRaw = store.text(SettingKey::kHiddenPorts).value_or("");
  settings.appLanguage = store.text(SettingKey::kAppLanguage).value_or("system");
  return settings;
}
