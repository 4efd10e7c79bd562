#include "integrations/notification_sink.h"

#include "core/system/tool_runner.h"
#include "integrations/executable_search.h"
#include "integrations/notification_text.h"

namespace Notifications {

namespace {

class NotifySendSink final : public NotificationSink {
 public:
  explicit NotifySendSink(ToolRunner& runner) : runner_(runner) {}

  void post(const std::string& title, const std::string& body) override {
    auto notifySend = Executables::find("notify-send", Executables::currentSearchPath());
    if (!notifySend) return;
    // "--" so a message that starts with "-" is shown, not read as an option.
    // notify-send cannot say whether the server reads markup; the servers of
    // the common desktops do, and an entity shown as written harms nothing.
    runner_.run(*notifySend, {"--app-name=Tarnwick", "--", title, escapedForMarkup(body)});
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
