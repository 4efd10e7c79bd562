#include "integrations/preferences.h"

#include <vector>

template <typename T>
std::optional<T> MemoryPreferences::get(const std::string& key) const {
  std::lock_guard lock(mutex_);
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  if (auto value = std::get_if<T>(&it->second)) return *value;
  return std::nullopt;
}

void MemoryPreferences::put(const std::string& key, Value value) {
  std::lock_guard lock(mutex_);
  values_[key] = std::move(value);
}

std::optional<std::string> MemoryPreferences::text(const std::string& key) const { return get<std::string>(key); }
std::optional<double> MemoryPreferences::number(const std::string& key) const { return get<double>(key); }
std::optional<bool> MemoryPreferences::boolean(const std::string& key) const { return get<bool>(key); }
void MemoryPreferences::setText(const std::string& key, const std::string& value) { put(key, value); }
void MemoryPreferences::setNumber(const std::string& key, double value) { put(key, value); }
void MemoryPreferences::setBoolean(const std::string& key, bool value) { put(key, value); }

void MemoryPreferences::remove(const std::string& key) {
  std::lock_guard lock(mutex_);
  values_.erase(key);
}

namespace Prefs {

namespace {
std::mutex installMutex;
std::shared_ptr<Preferences>& current() {
  static std::shared_ptr<Preferences> preferences = std::make_shared<MemoryPreferences>();
  return preferences;
}
}  // namespace

Preferences& store() {
  std::lock_guard lock(installMutex);
  return *current();
}

void install(std::shared_ptr<Preferences> preferences) {
  std::lock_guard lock(installMutex);
  if (!preferences) return;
  // store() hands out references: a replaced store stays alive for the process,
  // so a thread still holding one never reads a destroyed store.
  static std::vector<std::shared_ptr<Preferences>> retired;
  retired.push_back(std::move(current()));
  current() = std::move(preferences);
}

}  // namespace Prefs
