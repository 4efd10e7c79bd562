#include "integrations/notification_sink.h"

#include <mutex>
#include <vector>

namespace Notifications {

namespace {

std::mutex mutex;

// Every sink ever installed stays alive: sink() hands out plain references that
// the notifier's thread may still hold while the tray installs another.
std::vector<std::shared_ptr<NotificationSink>>& installed() {
  static std::vector<std::shared_ptr<NotificationSink>> sinks{fallbackSink()};
  return sinks;
}

}  // namespace

NotificationSink& sink() {
  std::lock_guard lock(mutex);
  return *installed().back();
}

void install(std::shared_ptr<NotificationSink> sink) {
  std::lock_guard lock(mutex);
  if (sink) installed().push_back(std::move(sink));
}

}  // namespace Notifications
