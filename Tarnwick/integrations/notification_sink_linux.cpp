#include "integrations/notification_sink.h"

#include "core/system/tool_runner.h"
#include "integrations/executable_search.h"

namespace Notifications {

namespace {

class NotifySendSink final : public NotificationSink {
 public:
  explicit NotifySendSink(ToolRunner& runner) : runner_(runner) {}

  void post(const std::string& title, const std::string& body) override {
    auto notifySend = Executables::find("notify-send", Executables::currentSearchPath());
    if (!notifySend) return;
    // "--" so a message that starts with "-" is shown, not read as an option.
    runner_.run(*notifySend, {"--app-name=Tarnwick", "--", title, body});
  }

 private:
  ToolRunner& runner_;
};

}  // namespace

std::shared_ptr<NotificationSink> fallbackSink(ToolRunner& runner) {
  return std::make_shared<NotifySendSink>(runner);
}

std::shared_ptr<NotificationSink> fallbackSink() { return fallbackSink(PortCore::systemToolRunner()); }

}  // namespace Notifications
