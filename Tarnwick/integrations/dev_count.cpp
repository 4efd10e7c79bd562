#include "integrations/dev_count.h"

DevCount& DevCount::shared() {
  static DevCount instance;
  return instance;
}

void DevCount::setCount(int64_t count) {
  count_ = count;
  // A copy, so an observer may unsubscribe itself (or others) while called.
  auto observers = observers_;
  for (const auto& [id, observer] : observers)
    if (observers_.count(id)) observer(count);
}

DevCount::Subscription DevCount::subscribe(Observer observer) {
  Subscription id = next_++;
  observers_.emplace(id, std::move(observer));
  return id;
}

void DevCount::unsubscribe(Subscription subscription) { observers_.erase(subscription); }
