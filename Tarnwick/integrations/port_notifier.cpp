#include "integrations/port_notifier.h"

#include "core/scan/scan.h"
#include "integrations/dev_count.h"
#include "integrations/l10n.h"
#include "integrations/notification_sink.h"
#include "integrations/preferences.h"

#include <algorithm>

namespace {

constexpr const char* kTitle = "Tarnwick";

// Ports named in one notice; beyond them the notice ends in "…".
constexpr size_t kPortsNamed = 8;

// One notice for every watched port that changed one way in a poll: a
// hundred ports opening at once would otherwise take a hundred notices, each
// a blocking call, and the poll would fall behind. Absent for none.
std::optional<std::string> notice(const L10n::Texts& texts, const char* one, const char* many,
                                  const std::set<int64_t>& ports) {
  if (ports.empty()) return std::nullopt;
  if (ports.size() == 1) return texts.format(one, {FormatArg{*ports.begin()}});
  std::string named;
  size_t count = 0;
  for (int64_t port : ports) {
    if (count++ == kPortsNamed) {
      named += ", \u2026";
      break;
    }
    named += (named.empty() ? "" : ", ") + std::to_string(port);
  }
  return texts.format(many, {FormatArg{static_cast<int64_t>(ports.size())}, FormatArg{named}});
}

// A suspended machine stops the condition variable's clock but not ours, so
// wake at least this often to look at the real clock again.
constexpr auto kLongestNap = std::chrono::seconds(1);

std::set<int64_t> openWatched(const std::set<int64_t>& watched, const std::set<int64_t>& listening) {
  std::set<int64_t> open;
  std::set_intersection(watched.begin(), watched.end(), listening.begin(), listening.end(),
                        std::inserter(open, open.end()));
  return open;
}

std::set<int64_t> missingFrom(const std::set<int64_t>& from, const std::set<int64_t>& ports) {
  std::set<int64_t> missing;
  std::set_difference(ports.begin(), ports.end(), from.begin(), from.end(), std::inserter(missing, missing.end()));
  return missing;
}

void pollUntilGone(std::weak_ptr<PortNotifier> weak, const Clock& clock, std::shared_ptr<Sleeper> sleeper,
                   const StopToken& stop) {
  // Each pass holds the notifier only while it works, so that it can go meanwhile.
  auto alive = [&weak, &stop](auto&& work) {
    auto notifier = weak.lock();
    if (!notifier || stop.stopRequested()) return false;
    work(*notifier);
    return true;
  };
  std::chrono::seconds interval{};
  auto poll = [&interval](PortNotifier& notifier) {
    notifier.tick();
    interval = notifier.pollInterval();
  };
  auto follow = [](PortNotifier& notifier) { notifier.followWatched(); };
  while (alive(poll)) {
    const auto deadline = clock.now() + interval;
    while (sleeper->sleepUntil(deadline, stop))
      if (!alive(follow)) return;
  }
}

}  // namespace

bool ClockSleeper::sleepUntil(Clock::Duration deadline, const StopToken& stop) {
  {
    std::lock_guard lock(sleepingMutex_);
    sleeping_ = stop;
  }
  auto woken = [this] { return woken_.load(); };
  for (auto left = deadline - clock_.now(); left > Clock::Duration::zero(); left = deadline - clock_.now()) {
    if (stop.waitFor(std::min<Clock::Duration>(left, kLongestNap), woken) || stop.stopRequested()) break;
  }
  return woken_.exchange(false) && !stop.stopRequested();
}

void ClockSleeper::wake() {
  woken_ = true;
  std::lock_guard lock(sleepingMutex_);
  if (sleeping_) sleeping_->notifyAll();
}

void PollLoop::stop() {
  // A sleeper that waits in the kernel does not watch the stop token.
  thread_.requestStop();
  if (sleeper_) sleeper_->wake();
  thread_.stop();
}

std::chrono::seconds PortNotifier::pollInterval() const {
  return watched().empty() ? kIdleInterval : kWatchedInterval;
}

std::shared_ptr<PortNotifier> PortNotifier::create(std::shared_ptr<Executor> toGuiThread, Seams seams) {
  std::shared_ptr<PortNotifier> notifier(new PortNotifier(std::move(toGuiThread), std::move(seams)));
  // The store may call from any thread, and after the notifier has begun to go.
  notifier->subscription_ = notifier->seams_.preferences.subscribe([weak = notifier->weak_from_this()] {
    if (auto alive = weak.lock()) alive->readWatched();
  });
  notifier->readWatched();
  return notifier;
}

PortNotifier::PortNotifier(std::shared_ptr<Executor> toGuiThread, Seams seams)
    : toGuiThread_(std::move(toGuiThread)), seams_(std::move(seams)) {
  if (!seams_.listeningPorts) seams_.listeningPorts = [] { return PortCore::listeningPortNumbers(); };
  if (!seams_.sink) seams_.sink = Notifications::fallbackSink();
}

PortNotifier::~PortNotifier() { seams_.preferences.unsubscribe(subscription_); }

std::set<int64_t> PortNotifier::watched() const {
  std::lock_guard lock(watchedMutex_);
  return watched_;
}

void PortNotifier::readWatched() {
  auto stored = watched(seams_.preferences);
  std::shared_ptr<Sleeper> sleeper;
  {
    std::lock_guard lock(watchedMutex_);
    // The store also calls for changes to other keys.
    if (stored == watched_) return;
    watched_ = std::move(stored);
    sleeper = sleeper_;
  }
  if (sleeper) sleeper->wake();
}

PollLoop PortNotifier::start() {
  return start(PortCore::systemClock(), makeSystemSleeper());
}

PollLoop PortNotifier::start(const Clock& clock, std::shared_ptr<Sleeper> sleeper) {
  {
    std::lock_guard lock(watchedMutex_);
    sleeper_ = sleeper;
  }
  auto done = std::make_shared<std::atomic<bool>>(false);
  StoppableThread thread([weak = weak_from_this(), &clock, sleeper, done](StopToken stop) {
    pollUntilGone(weak, clock, sleeper, stop);
    done->store(true);
  });
  return PollLoop(std::move(thread), std::move(done), std::move(sleeper));
}

void PortNotifier::tick() {
  followWatched();  // a change since the last wake is taken as it stands now
  auto numbers = seams_.listeningPorts();
  std::set<int64_t> listening(numbers.begin(), numbers.end());

  toGuiThread_->post([&devCount = seams_.devCount, count = DevCount::of(numbers)] { devCount.setCount(count); });
  // The item's menu lists what the last full scan found: taken again only
  // when something started or stopped listening, it stays at most one poll
  // behind while the common poll stays the cheap read of port numbers.
  if (seams_.fullScan && (fullScanWanted_.exchange(false) || lastFullScan_ != listening)) {
    lastFullScan_ = listening;
    toGuiThread_->post([scanned = seams_.scanned, full = seams_.fullScan()]() mutable {
      if (scanned) scanned(std::move(full));
    });
  }

  auto open = openWatched(followed_, listening);
  if (lastOpen_) {
    const L10n::Texts& texts = seams_.texts;
    if (auto opened = notice(texts, "notif_opened", "notif_opened_many", missingFrom(*lastOpen_, open)))
      notify(*opened);
    if (auto closed = notice(texts, "notif_closed", "notif_closed_many", missingFrom(open, *lastOpen_)))
      notify(*closed);
  }
  lastOpen_ = std::move(open);
}

bool PortNotifier::followWatched() {
  auto now = watched();
  if (now == followed_) return false;
  auto added = missingFrom(followed_, now);
  followed_ = std::move(now);
  if (!lastOpen_) return true;  // the first poll reads everything anyway
  auto kept = openWatched(followed_, *lastOpen_);
  if (!added.empty()) {
    auto numbers = seams_.listeningPorts();
    kept.merge(openWatched(added, std::set<int64_t>(numbers.begin(), numbers.end())));
  }
  lastOpen_ = std::move(kept);
  return true;
}

void PortNotifier::notify(const std::string& message) { seams_.sink->post(kTitle, message); }
