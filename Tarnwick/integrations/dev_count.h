#pragma once
// The number of listening ports in the dev range that the tray item shows.
// Written by the watch notifier's poll and by the panel's refresh, always on
// the GUI thread and always through of(), so both give the same number for the
// same sockets.
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class DevCount {
 public:
  using Observer = std::function<void(int64_t count)>;
  using Subscription = uint64_t;

  static constexpr int64_t kFirst = 1024;
  static constexpr int64_t kLast = 9999;

  /// The number of distinct ports in kFirst..kLast among `ports` (a port on
  /// two addresses, or held by two processes, counts once).
  static int64_t of(const std::vector<int64_t>& ports);

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
