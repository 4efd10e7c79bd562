// Placeholder until notifications land: messages are dropped.
#include "integrations/notification_sink.h"

namespace Notifications {
namespace {
struct DropSink final : NotificationSink {
  void post(const std::string&, const std::string&) override {}
};
}  // namespace
NotificationSink& sink() {
  static DropSink drop;
  return drop;
}
void install(std::shared_ptr<NotificationSink>) {}
}  // namespace Notifications
