#pragma once
// The per-user preferences store: text, number and Boolean values by key,
// persistent across runs, safe to use from any thread, telling its observers
// when it changed. The tray's context owns the real store (QSettings).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

class Preferences {
 public:
  using Observer = std::function<void()>;
  using Subscription = uint64_t;

  virtual ~Preferences() = default;
  /// The value under `key`; absent when missing or of another type.
  virtual std::optional<std::string> text(const std::string& key) const = 0;
  virtual std::optional<double> number(const std::string& key) const = 0;
  virtual std::optional<bool> boolean(const std::string& key) const = 0;
  virtual void setText(const std::string& key, const std::string& value) = 0;
  virtual void setNumber(const std::string& key, double value) = 0;
  virtual void setBoolean(const std::string& key, bool value) = 0;
  virtual void remove(const std::string& key) = 0;

  /// `observer` runs after each write through this store, on the writer's
  /// thread, and after a change made from outside, on the thread the store
  /// watches from, until unsubscribe(). It may be called for a change that
  /// turns out to change nothing, so it should compare what it reads again.
  Subscription subscribe(Observer observer);
  void unsubscribe(Subscription subscription);

 protected:
  /// Calls every observer; never with the store's own lock held.
  void changed();

 private:
  std::mutex observersMutex_;
  Subscription nextSubscription_ = 1;
  std::map<Subscription, std::shared_ptr<Observer>> observers_;
};

/// Values kept in memory only: the test store, and the command line's.
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
