#include "integrations/notification_sink.h"

#include "core/system/tool_runner.h"
#include "integrations/notification_text.h"

namespace Notifications {

namespace {

class OsascriptSink final : public NotificationSink {
 public:
  explicit OsascriptSink(ToolRunner& runner) : runner_(runner) {}

  void post(const std::string& title, const std::string& body) override {
    runner_.run("/usr/bin/osascript", {"-e", Osascript::notificationScript(body, title)});
  }

 private:
  ToolRunner& runner_;
};

}  // namespace

std::shared_ptr<NotificationSink> fallbackSink(ToolRunner& runner) {
  return std::make_shared<OsascriptSink>(runner);
}

std::shared_ptr<NotificationSink> fallbackSink() { return fallbackSink(PortCore::systemToolRunner()); }

}  // namespace Notifications
