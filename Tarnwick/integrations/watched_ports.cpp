#include "integrations/watched_ports.h"

#include "core/number.h"
#include "core/text.h"
#include "integrations/port_notifier.h"
#include "integrations/preferences.h"

namespace WatchedPorts {

std::set<int64_t> parse(std::string_view text) {
  std::set<int64_t> ports;
  for (auto piece : PortCore::splitNonEmpty(text, ','))
    if (auto port = PortCore::parseInt64(piece)) ports.insert(*port);
  return ports;
}

std::string format(const std::set<int64_t>& ports) {
  std::string text;
  for (auto port : ports) {
    if (!text.empty()) text += ',';
    text += std::to_string(port);
  }
  return text;
}

}  // namespace WatchedPorts

namespace {
constexpr const char* kKey = "watchedPorts";
}

std::set<int64_t> PortNotifier::watched() {
  auto stored = Prefs::store().text(kKey);
  return stored ? WatchedPorts::parse(*stored) : std::set<int64_t>{};
}

void PortNotifier::setWatched(const std::set<int64_t>& ports) {
  Prefs::store().setText(kKey, WatchedPorts::format(ports));
}
