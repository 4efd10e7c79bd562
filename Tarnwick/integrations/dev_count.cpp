#include "integrations/dev_count.h"

#include <set>

int64_t DevCount::of(const std::vector<int64_t>& ports) {
  // Distinct ports: the panel lists a port once per address and process.
  std::set<int64_t> dev;
  for (int64_t port : ports)
    if (port >= kFirst && port <= kLast) dev.insert(port);
  return static_cast<int64_t>(dev.size());
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
