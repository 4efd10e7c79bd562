#pragma once
// A notification sink that keeps what it is given, for any thread to post to.
#include "integrations/notification_sink.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct RecordingSink final : NotificationSink {
  using Post = std::pair<std::string, std::string>;  ///< title, body

  void post(const std::string& title, const std::string& body) override {
    std::lock_guard lock(mutex_);
    posts_.emplace_back(title, body);
  }
  /// The posts since the last call, oldest first.
  std::vector<Post> taken() {
    std::lock_guard lock(mutex_);
    return std::exchange(posts_, {});
  }

  std::mutex mutex_;
  std::vector<Post> posts_;
};
