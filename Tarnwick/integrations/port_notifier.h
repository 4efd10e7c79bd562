#pragma once
// The watch notifier: polls the listening port numbers, tells the user when a
// watched port starts or stops listening, and keeps the tray's dev count current.
#include "core/scan/scan.h"
#include "core/system/clock.h"
#include "core/system/executor.h"
#include "core/system/stoppable_thread.h"
#include "integrations/docker.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

class DevCount;
class NotificationSink;
class Preferences;
namespace L10n {
class Texts;
}

/// Waits until a point of a Clock; the seam that keeps tests from sleeping.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  /// Returns at `deadline` (on the sleeper's clock), as soon as `stop` is
  /// requested, or on wake(); true only in the last case.
  virtual bool sleepUntil(Clock::Duration deadline, const StopToken& stop) = 0;
  /// Ends the sleep in progress early, or the next one when none is. Any thread.
  virtual void wake() = 0;
};

/// Sleeps on a real Clock, waking early when stop is requested or on wake().
/// Its wait does not count suspend, so it looks at the clock every second:
/// the portable form of makeSystemSleeper().
class ClockSleeper final : public Sleeper {
 public:
  explicit ClockSleeper(const Clock& clock) : clock_(clock) {}
  bool sleepUntil(Clock::Duration deadline, const StopToken& stop) override;
  void wake() override;

 private:
  const Clock& clock_;
  std::atomic<bool> woken_ = false;
  std::mutex sleepingMutex_;
  std::optional<StopToken> sleeping_;  ///< the token the sleep in progress waits on
};

/// The notifier's sleep on the system clock (the one that counts suspend):
/// deadlines are points of PortCore::systemClock(). On Linux it sleeps in the
/// kernel to the deadline itself, so a closed tray wakes once per poll and,
/// after a resume past the deadline, at once; elsewhere, and when the kernel
/// has no descriptors to spare, a ClockSleeper.
std::shared_ptr<Sleeper> makeSystemSleeper();

/// The polling thread of a notifier. Destroying it (or stop()) ends the loop
/// and joins the thread.
class PollLoop {
 public:
  PollLoop() = default;
  /// `sleeper` is woken when the loop is stopped, so that it ends at once.
  PollLoop(StoppableThread thread, std::shared_ptr<std::atomic<bool>> done, std::shared_ptr<Sleeper> sleeper)
      : thread_(std::move(thread)), done_(std::move(done)), sleeper_(std::move(sleeper)) {}
  PollLoop(PollLoop&&) noexcept = default;
  PollLoop& operator=(PollLoop&&) noexcept = default;
  ~PollLoop() { stop(); }
  void stop();
  /// True once the loop has returned (notifier gone or stopped).
  bool finished() const { return !thread_.joinable() || !done_ || done_->load(); }

 private:
  StoppableThread thread_;
  std::shared_ptr<std::atomic<bool>> done_;
  std::shared_ptr<Sleeper> sleeper_;
};

class PortNotifier : public std::enable_shared_from_this<PortNotifier> {
 public:
  using PortSource = std::function<std::vector<int64_t>()>;
  /// Everything the panel and the item's menu list: the scan and the containers.
  struct FullScan {
    PortCore::PortScan scan;
    ContainerMap containers;
  };

  /// What a notifier reads and writes; each must outlive it.
  struct Seams {
    PortSource listeningPorts = {};                    ///< empty: PortCore::listeningPortNumbers
    Preferences& preferences;                          ///< the watched ports, followed as they change
    DevCount& devCount;                                ///< written on the GUI thread
    const L10n::Texts& texts;                          ///< the notifications' words
    std::shared_ptr<NotificationSink> sink = nullptr;  ///< null: Notifications::fallbackSink()
    /// Taken by a poll that finds the listening ports changed since the last
    /// one taken (the first poll takes one); empty: never.
    std::function<FullScan()> fullScan = {};
    /// Gets each full scan, on the GUI thread.
    std::function<void(FullScan)> scanned = {};
  };

  static constexpr std::chrono::seconds kWatchedInterval{5};
  static constexpr std::chrono::seconds kIdleInterval{10};

  /// The set of watched ports stored in `preferences` ("watchedPorts"); empty
  /// when nothing is stored.
  static std::set<int64_t> watched(const Preferences& preferences);
  static void setWatched(Preferences& preferences, const std::set<int64_t>& ports);

  /// `toGuiThread` runs the dev-count update of every poll on the GUI thread.
  static std::shared_ptr<PortNotifier> create(std::shared_ptr<Executor> toGuiThread, Seams seams);
  ~PortNotifier();

  /// The watched ports as last read from the store.
  std::set<int64_t> watched() const;
  /// 5 s while a port is watched, else 10 s; read afresh after every poll.
  std::chrono::seconds pollInterval() const;

  /// Starts the polling thread: a first poll at once, which announces nothing,
  /// then one per interval. A change of the watched ports wakes the thread to
  /// follow it at once. The thread holds the notifier weakly and ends once it
  /// is gone.
  PollLoop start();
  /// The same on `clock`, which must outlive the loop, sleeping through `sleeper`.
  PollLoop start(const Clock& clock, std::shared_ptr<Sleeper> sleeper);

  /// One poll: dev count to the GUI thread, a full scan there when the
  /// listening ports changed since the last one, then at most one notification for
  /// the watched ports that opened since the previous poll and one for those
  /// that closed; the first poll only learns where things stand. Not
  /// reentrant, nor to run beside followWatched().
  void tick();
  /// Takes the watched ports stored since the last poll without announcing
  /// the change: a port no longer watched is forgotten, a newly watched one
  /// counts as open when it listens now. False when nothing changed.
  bool followWatched();
  /// The next poll takes a full scan whatever the ports: what was taken while
  /// the panel was shown went to the panel's own rows. Any thread.
  void wantFullScan() { fullScanWanted_ = true; }

 private:
  PortNotifier(std::shared_ptr<Executor> toGuiThread, Seams seams);
  void notify(const std::string& message);
  void readWatched();

  std::shared_ptr<Executor> toGuiThread_;
  Seams seams_;
  uint64_t subscription_ = 0;
  mutable std::mutex watchedMutex_;
  std::set<int64_t> watched_;               ///< as last read from the store
  std::shared_ptr<Sleeper> sleeper_;        ///< woken when watched_ changes
  // The poll's own state, touched only by tick() and followWatched().
  std::set<int64_t> followed_;              ///< the watched ports lastOpen_ is about
  /// Watched ports listening at the previous poll; absent before the first.
  std::optional<std::set<int64_t>> lastOpen_;
  /// The listening ports when the last full scan was taken; absent before it.
  std::optional<std::set<int64_t>> lastFullScan_;
  std::atomic<bool> fullScanWanted_ = false;
};
