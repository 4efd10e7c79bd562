#pragma once
// Desktop notifications: title and body, posted without waiting for an answer.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class ToolRunner;

class NotificationSink {
 public:
  virtual ~NotificationSink() = default;
  /// `title` and `body` are plain text, shown as written: a body may hold a
  /// process name or a label, which no server may take as markup.
  virtual void post(const std::string& title, const std::string& body) = 0;
  /// Posts as post() does; the id withdraw() takes, or none where the
  /// notification cannot be taken back (a fallback tool, no answer in time).
  virtual std::optional<uint32_t> postWithdrawable(const std::string& title, const std::string& body) {
    post(title, body);
    return std::nullopt;
  }
  /// Takes the notification `id` off the screen and out of the server's list;
  /// one that is gone already is left be.
  virtual void withdraw(uint32_t /*id*/) {}
};

namespace Notifications {

/// The platform's fallback: notify-send found on PATH at each post on Linux
/// (the message is dropped when there is none; the body goes escaped, as it
/// cannot ask the server whether it reads markup), osascript on macOS.
std::shared_ptr<NotificationSink> fallbackSink();
/// The same, running its tool through `runner`, which must outlive the sink.
std::shared_ptr<NotificationSink> fallbackSink(ToolRunner& runner);

}  // namespace Notifications
