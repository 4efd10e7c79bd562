#pragma once
// The per-user preferences store: text, number and Boolean values by key,
// persistent across runs, safe to use from any thread. The tray module installs
// the real store (QSettings); without it an in-memory store stands in.
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

class Preferences {
 public:
  virtual ~Preferences() = default;
  /// The value under `key`; absent when missing or of another type.
  virtual std::optional<std::string> text(const std::string& key) const = 0;
  virtual std::optional<double> number(const std::string& key) const = 0;
  virtual std::optional<bool> boolean(const std::string& key) const = 0;
  virtual void setText(const std::string& key, const std::string& value) = 0;
  virtual void setNumber(const std::string& key, double value) = 0;
  virtual void setBoolean(const std::string& key, bool value) = 0;
  virtual void remove(const std::string& key) = 0;
};

/// Values kept in memory only: the test store, and the stand-in when no
/// persistent store is installed.
class MemoryPreferences final : public Preferences {
 public:
  std::optional<std::string> text(const std::string& key) const override;
  std::optional<double> number(const std::string& key) const override;
  std::optional<bool> boolean(const std::string& key) const override;
  void setText(const std::string& key, const std::string& value) override;
  void setNumber(const std::string& key, double value) override;
  void setBoolean(const std::string& key, bool value) override;
  void remove(const std::string& key) override;

 private:
  using Value = std::variant<std::string, double, bool>;
  template <typename T>
  std::optional<T> get(const std::string& key) const;
  void put(const std::string& key, Value value);
  mutable std::mutex mutex_;
  std::map<std::string, Value> values_;
};

namespace Prefs {

/// The store in use: the one installed last, else a process-wide memory store.
Preferences& store();
/// Makes `preferences` the store in use (the tray module at start-up, tests).
void install(std::shared_ptr<Preferences> preferences);

}  // namespace Prefs
