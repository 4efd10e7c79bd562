#pragma once
// Desktop notifications: title and body, posted without waiting for an answer.
#include <memory>
#include <string>

class NotificationSink {
 public:
  virtual ~NotificationSink() = default;
  virtual void post(const std::string& title, const std::string& body) = 0;
};

namespace Notifications {

/// The sink in use: the one installed last, else the fallback (notify-send on
/// Linux, osascript on macOS).
NotificationSink& sink();
/// Makes `sink` the one in use (the tray module at start-up, tests).
void install(std::shared_ptr<NotificationSink> sink);

}  // namespace Notifications
