#include "integrations/preferences.h"

#include <vector>

Preferences::Subscription Preferences::subscribe(Observer observer) {
  std::lock_guard lock(observersMutex_);
  Subscription id = nextSubscription_++;
  observers_.emplace(id, std::make_shared<Observer>(std::move(observer)));
  return id;
}

void Preferences::unsubscribe(Subscription subscription) {
  std::lock_guard lock(observersMutex_);
  observers_.erase(subscription);
}

void Preferences::changed() {
  // Called outside the lock, so an observer may read the store or unsubscribe.
  std::vector<std::shared_ptr<Observer>> observers;
  {
    std::lock_guard lock(observersMutex_);
    for (const auto& [id, observer] : observers_) observers.push_back(observer);
  }
  for (const auto& observer : observers) (*observer)();
}

template <typename T>
std::optional<T> MemoryPreferences::get(const std::string& key) const {
  std::lock_guard lock(mutex_);
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  if (auto value = std::get_if<T>(&it->second)) return *value;
  return std::nullopt;
}

void MemoryPreferences::put(const std::string& key, Value value) {
  {
    std::lock_guard lock(mutex_);
    values_[key] = std::move(value);
  }
  changed();
}

std::optional<std::string> MemoryPreferences::text(const std::string& key) const { return get<std::string>(key); }
std::optional<double> MemoryPreferences::number(const std::string& key) const { return get<double>(key); }
std::optional<bool> MemoryPreferences::boolean(const std::string& key) const { return get<bool>(key); }
void MemoryPreferences::setText(const std::string& key, const std::string& value) { put(key, value); }
void MemoryPreferences::setNumber(const std::string& key, double value) { put(key, value); }
void MemoryPreferences::setBoolean(const std::string& key, bool value) { put(key, value); }

void MemoryPreferences::remove(const std::string& key) {
  {
    std::lock_guard lock(mutex_);
    values_.erase(key);
  }
  changed();
}
