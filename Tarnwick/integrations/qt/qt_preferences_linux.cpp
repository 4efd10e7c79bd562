#include "integrations/qt/qt_preferences.h"

#include "integrations/qt/ini_preferences.h"

std::shared_ptr<Preferences> makeQtPreferences() {
  return makeIniPreferences([] {
    // Organisation and application "tarnwick": $XDG_CONFIG_HOME/tarnwick/tarnwick.conf
    // (the native format on Linux is INI, named .conf).
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                QStringLiteral("tarnwick"), QStringLiteral("tarnwick"));
    // Without this, keys missing from the user's file would be looked up in
    // ~/.config/tarnwick.conf and /etc/xdg, which are not ours.
    settings->setFallbacksEnabled(false);
    return settings;
  });
}
