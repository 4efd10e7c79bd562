#include "integrations/qt/qt_preferences.h"

#include "integrations/qt/ini_preferences.h"

std::shared_ptr<Preferences> makeQtPreferences(const QString& path) {
  return makeIniPreferences([path] { return std::make_unique<QSettings>(path, QSettings::IniFormat); });
}
