#pragma once
// The notification that tells the user no tray can show the item, and its
// withdrawal once one does: left on screen, or in the server's list, it would
// say something no longer true.
#include "core/system/executor.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class NotificationSink;

class NoTrayNotice {
 public:
  /// Posts to `sink` on `background`: a notification server may take seconds
  /// to answer. `sink` must outlive the tasks posted to `background`.
  NoTrayNotice(NotificationSink& sink, std::shared_ptr<Executor> background);

  /// Posts the notice; a second call, or one after withdraw(), does nothing.
  void show(const std::string& title, const std::string& body);
  /// Withdraws the notice, now or as soon as its post has come back, where the
  /// server gave it an id; it will not be shown after this.
  void withdraw();

 private:
  struct State {
    std::mutex mutex;
    bool shown = false;
    bool withdrawn = false;
    std::optional<uint32_t> id;  ///< the server's, once the post has come back
  };

  NotificationSink& sink_;
  std::shared_ptr<Executor> background_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};
