#pragma once
// Every key the application keeps in the preferences store, and the panel's
// settings read from it as typed values. A key is named here and nowhere else.
#include "integrations/preferences.h"
#include "integrations/stored_values.h"

#include <string>

namespace SettingKey {
inline constexpr const char* kPanelMaxHeight = "panelMaxHeight";
inline constexpr const char* kConfirmBeforeKill = "confirmBeforeKill";
inline constexpr const char* kRefreshInterval = "refreshInterval";
/// Port numbers joined by ",".
inline constexpr const char* kHiddenPorts = "hiddenPorts";
/// "system" or a language code.
inline constexpr const char* kAppLanguage = "appLanguage";
/// Port numbers joined by ",".
inline constexpr const char* kWatchedPorts = "watchedPorts";
/// A JSON object of labels by port number.
inline constexpr const char* kPortLabels = "portLabels";
}  // namespace SettingKey

/// The panel's stored settings as typed values, read whole from the store;
/// missing or out-of-range values read as their defaults.
struct PanelSettings {
  static constexpr SettingRange kPanelMaxHeightRange{240, 800, 480};
  double panelMaxHeight = kPanelMaxHeightRange.fallback;
  bool confirmBeforeKill = true;
  /// Seconds between refreshes. Half a second keeps a scan from running back
  /// to back; an hour keeps the pause well inside a Qt timer's int milliseconds.
  static constexpr SettingRange kRefreshIntervalRange{0.5, 3600, 3};
  double refreshInterval = kRefreshIntervalRange.fallback;
  std::string hiddenPortsRaw;
  std::string appLanguage = "system";

  static PanelSettings read(const Preferences& store);
  bool operator==(const PanelSettings&) const = default;
};
