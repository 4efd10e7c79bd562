// Before main(), and so before anything in this binary opens QSettings (Qt
// reads XDG_CONFIG_HOME once per process), settings are pointed at a
// directory of their own: no test touches the user's real settings.
#include "support/test_process.h"

#include <QByteArray>
#include <QtGlobal>

namespace {

struct IsolatedSettings {
  TempDir home;
  IsolatedSettings() { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.path() + "/config")); }
};

const IsolatedSettings isolatedSettings;

}  // namespace
