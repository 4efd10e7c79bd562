#pragma once
// The number of listening ports in the dev range that the tray item shows.
// Written by the watch notifier's poll and by the panel's refresh, always on
// the GUI thread; the last write wins.
#include <cstdint>
#include <functional>
#include <map>

class DevCount {
 public:
  using Observer = std::function<void(int64_t count)>;
  using Subscription = uint64_t;

  /// The one instance, made on first use and kept for the process.
  static DevCount& shared();

  int64_t count() const { return count_; }
  /// Stores `count` and calls every observer with it, even when it is unchanged.
  /// GUI thread only.
  void setCount(int64_t count);

  /// `observer` is called after every write until unsubscribe(). GUI thread only.
  Subscription subscribe(Observer observer);
  void unsubscribe(Subscription subscription);

 private:
  int64_t count_ = 0;
  Subscription next_ = 1;
  std::map<Subscription, Observer> observers_;
};
