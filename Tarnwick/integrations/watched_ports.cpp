// The watched ports live in the preferences store as decimal numbers joined by ",".
#include "integrations/port_set_text.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"

namespace {
constexpr const char* kKey = "watchedPorts";
}

std::set<int64_t> PortNotifier::watched() {
  auto stored = Prefs::store().text(kKey);
  return stored ? parsePortSet(*stored) : std::set<int64_t>{};
}

void PortNotifier::setWatched(const std::set<int64_t>& ports) {
  Prefs::store().setText(kKey, joinPortSet(ports));
}
