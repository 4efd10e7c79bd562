#pragma once
// A small HTTP prober for loopback ports: non-blocking sockets, one HEAD
// request each, and a poll loop that drives any number of them on one thread.
#include "core/system/clock.h"
#include "core/system/unique_fd.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace PortCore {

/// How long a probe may take from start to answer, both addresses included.
inline constexpr std::chrono::milliseconds kProbeTimeout{1500};

/// True when `line` (without its line end) starts as an HTTP status line:
/// "HTTP/1.1 200 OK", "HTTP/1.0 404", "HTTP/2 500".
bool isHttpStatusLine(std::string_view line);

/// One HEAD request to 127.0.0.1:port, moving on to [::1]:port when the IPv4
/// address refuses. Driven by a poll loop through fd()/events()/advance().
class LoopbackProbe {
 public:
  LoopbackProbe(int64_t port, Clock::Duration deadline);
  LoopbackProbe(const LoopbackProbe&) = delete;
  LoopbackProbe& operator=(const LoopbackProbe&) = delete;

  bool finished() const { return stage_ == Stage::Done; }
  /// The answer once finished: true when an HTTP status line came back.
  bool answered() const { return answered_; }
  Clock::Duration deadline() const { return deadline_; }
  /// The socket to wait on and the poll events it waits for; -1 once finished.
  int fd() const { return fd_.get(); }
  short events() const;
  /// Moves on after poll reported `revents` on fd().
  void advance(short revents);
  /// Gives up when `now` has reached the deadline.
  void expireAt(Clock::Duration now);

 private:
  enum class Stage { Connecting, Sending, Reading, Done };
  enum class Address { V4, V6 };

  void connectTo(Address address);
  void onConnected();
  void onWritable();
  void onReadable();
  void finish(bool answered);

  int64_t port_;
  Clock::Duration deadline_;
  Stage stage_ = Stage::Connecting;
  Address address_ = Address::V4;
  UniqueFd fd_;
  std::string request_;
  size_t sent_ = 0;
  std::string reply_;
  bool answered_ = false;
};

/// One round of the poll loop: waits until some of `probes` can move on, one
/// reaches its deadline, or `wakeFd` (when not -1) becomes readable, then moves
/// them on. Finished probes are skipped. Returns at once when there is nothing
/// to wait for.
void pollProbesOnce(const std::vector<LoopbackProbe*>& probes, const Clock& clock, int wakeFd = -1);

/// A thread that runs every submitted probe in one poll loop and calls each
/// `done` on that thread. Stops and joins on destruction; probes still pending
/// then are answered false. Should the thread's wake pipe be unavailable,
/// every probe is answered false at once on the submitting thread.
class AsyncProber {
 public:
  explicit AsyncProber(const Clock& clock);
  ~AsyncProber();
  AsyncProber(const AsyncProber&) = delete;
  AsyncProber& operator=(const AsyncProber&) = delete;

  /// Starts probing `port`; returns at once.
  void submit(int64_t port, std::function<void(bool)> done);

 private:
  struct Request {
    int64_t port;
    Clock::Duration deadline;  ///< counted from submit, not from pick-up
    std::function<void(bool)> done;
  };
  struct Pending {
    std::unique_ptr<LoopbackProbe> probe;
    std::function<void(bool)> done;
  };

  void run();
  /// Starts what was submitted; false once stopping.
  bool takeSubmitted(std::vector<Pending>& active);
  static void answerFinished(std::vector<Pending>& active);
  void wake();
  void drainWake();

  const Clock& clock_;
  UniqueFd wakeRead_, wakeWrite_;
  std::mutex mutex_;
  std::deque<Request> submitted_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace PortCore
