#include "ui/no_tray_notice.h"

#include "integrations/notification_sink.h"

#include <utility>

NoTrayNotice::NoTrayNotice(NotificationSink& sink, std::shared_ptr<Executor> background)
    : sink_(sink), background_(std::move(background)) {}

void NoTrayNotice::show(const std::string& title, const std::string& body) {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->shown || state_->withdrawn) return;
    state_->shown = true;
  }
  background_->post([&sink = sink_, state = state_, title, body] {
    const std::optional<uint32_t> id = sink.postWithdrawable(title, body);
    std::unique_lock lock(state->mutex);
    // A tray came while the server was still answering.
    if (state->withdrawn) {
      lock.unlock();
      if (id) sink.withdraw(*id);
      return;
    }
    state->id = id;
  });
}

void NoTrayNotice::withdraw() {
  std::optional<uint32_t> id;
  {
    std::lock_guard lock(state_->mutex);
    if (state_->withdrawn) return;
    state_->withdrawn = true;
    id = std::exchange(state_->id, std::nullopt);
  }
  if (id) background_->post([&sink = sink_, id = *id] { sink.withdraw(id); });
}
