#include "core/probe/loopback_prober.h"

#include "core/system/number.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace PortCore {

namespace {

// A reply whose first line runs longer than this is judged on what arrived.
constexpr size_t kMaxStatusLine = 1024;

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;  // SO_NOSIGPIPE is set on the socket instead
#endif

int openNonBlockingSocket(int family) {
  int fd = ::socket(family, SOCK_STREAM, 0);
  if (fd < 0) return -1;
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
#ifdef SO_NOSIGPIPE
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
  return fd;
}

int connectLoopback(int fd, bool v6, uint16_t port) {
  if (v6) {
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_port = htons(port);
    addr.sin6_addr = in6addr_loopback;
    return ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
}

int pendingSocketError(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

std::string_view firstLine(std::string_view reply) {
  std::string_view line = reply.substr(0, std::min(reply.find('\n'), kMaxStatusLine));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

bool isHttpStatusLine(std::string_view line) {
  constexpr std::string_view prefix = "HTTP/";
  if (line.substr(0, prefix.size()) != prefix) return false;
  size_t i = prefix.size();
  if (i >= line.size() || !isDigit(line[i])) return false;
  ++i;
  if (i + 1 < line.size() && line[i] == '.' && isDigit(line[i + 1])) i += 2;
  if (i >= line.size() || line[i] != ' ') return false;
  ++i;
  for (size_t end = i + 3; i < end; ++i)
    if (i >= line.size() || !isDigit(line[i])) return false;
  return i == line.size() || line[i] == ' ';
}

LoopbackProbe::LoopbackProbe(int64_t port, Clock::Duration deadline) : port_(port), deadline_(deadline) {
  if (port < 1 || port > 65535) {
    finish(false);
    return;
  }
  connectTo(Address::V4);
}

short LoopbackProbe::events() const {
  switch (stage_) {
    case Stage::Connecting:
    case Stage::Sending:
      return POLLOUT;
    case Stage::Reading:
      return POLLIN;
    case Stage::Done:
      break;
  }
  return 0;
}

void LoopbackProbe::connectTo(Address address) {
  address_ = address;
  stage_ = Stage::Connecting;
  fd_ = UniqueFd(openNonBlockingSocket(address == Address::V6 ? AF_INET6 : AF_INET));
  if (!fd_.valid()) return finish(false);
  if (connectLoopback(fd_.get(), address == Address::V6, static_cast<uint16_t>(port_)) == 0) return onConnected();
  if (errno == EINPROGRESS || errno == EINTR) return;
  // Loopback often refuses at once rather than through poll.
  if (errno == ECONNREFUSED && address == Address::V4) return connectTo(Address::V6);
  finish(false);
}

void LoopbackProbe::advance(short revents) {
  if (stage_ == Stage::Done || revents == 0) return;
  if (stage_ == Stage::Connecting) {
    int error = pendingSocketError(fd_.get());
    if (error == 0 && (revents & POLLOUT)) return onConnected();
    // Dev servers bound only to [::1] refuse on 127.0.0.1 but still answer.
    if (error == ECONNREFUSED && address_ == Address::V4) return connectTo(Address::V6);
    return finish(false);
  }
  if (stage_ == Stage::Sending) return onWritable();
  onReadable();
}

void LoopbackProbe::onConnected() {
  std::string host = address_ == Address::V6 ? "[::1]" : "127.0.0.1";
  request_ = "HEAD / HTTP/1.1\r\nHost: " + host + ":" + std::to_string(port_) +
             "\r\nAccept: */*\r\nConnection: close\r\n\r\n";
  sent_ = 0;
  stage_ = Stage::Sending;
  onWritable();
}

void LoopbackProbe::onWritable() {
  while (sent_ < request_.size()) {
    ssize_t n = ::send(fd_.get(), request_.data() + sent_, request_.size() - sent_, kSendFlags);
    if (n > 0) {
      sent_ += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      return finish(false);
    }
  }
  stage_ = Stage::Reading;
}

void LoopbackProbe::onReadable() {
  char buffer[kMaxStatusLine];
  for (;;) {
    ssize_t n = ::recv(fd_.get(), buffer, sizeof buffer, 0);
    if (n > 0) {
      reply_.append(buffer, static_cast<size_t>(n));
      if (reply_.find('\n') != std::string::npos || reply_.size() >= kMaxStatusLine)
        return finish(isHttpStatusLine(firstLine(reply_)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    // Closed or reset: judge the line on what came before.
    return finish(isHttpStatusLine(firstLine(reply_)));
  }
}

void LoopbackProbe::expireAt(Clock::Duration now) {
  if (stage_ != Stage::Done && now >= deadline_) finish(false);
}

void LoopbackProbe::finish(bool answered) {
  fd_.reset();
  answered_ = answered;
  stage_ = Stage::Done;
}

void pollProbesOnce(const std::vector<LoopbackProbe*>& probes, const Clock& clock, int wakeFd) {
  const Clock::Duration now = clock.now();
  std::vector<pollfd> fds;
  std::vector<LoopbackProbe*> waiting;
  Clock::Duration nearest = Clock::Duration::max();
  for (LoopbackProbe* probe : probes) {
    probe->expireAt(now);
    if (probe->finished()) continue;
    fds.push_back({probe->fd(), probe->events(), 0});
    waiting.push_back(probe);
    nearest = std::min(nearest, probe->deadline());
  }
  if (wakeFd >= 0) fds.push_back({wakeFd, POLLIN, 0});
  if (fds.empty()) return;

  int timeoutMs = -1;
  if (!waiting.empty()) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(nearest - now).count();
    timeoutMs = static_cast<int>(std::clamp<int64_t>(left, 0, 60'000));
  }
  int ready = ::poll(fds.data(), fds.size(), timeoutMs);
  if (ready <= 0) {
    for (LoopbackProbe* probe : waiting) probe->expireAt(clock.now());
    return;
  }
  for (size_t i = 0; i < waiting.size(); ++i) waiting[i]->advance(fds[i].revents);
}

AsyncProber::AsyncProber(const Clock& clock) : clock_(clock) {
  auto wake = openPipe(NonBlocking::BothEnds);
  if (!wake) return;  // no way to wake a thread: submit answers false at once
  wakeRead_ = std::move(wake->read);
  wakeWrite_ = std::move(wake->write);
  thread_ = std::thread([this] { run(); });
}

AsyncProber::~AsyncProber() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake();
  if (thread_.joinable()) thread_.join();
}

void AsyncProber::submit(int64_t port, std::function<void(bool)> done) {
  if (!thread_.joinable()) return done(false);
  {
    std::lock_guard lock(mutex_);
    submitted_.push_back({port, clock_.now() + kProbeTimeout, std::move(done)});
  }
  wake();
}

void AsyncProber::wake() {
  if (!wakeWrite_.valid()) return;
  char byte = 1;
  (void)!::write(wakeWrite_.get(), &byte, 1);  // a full pipe is awake already
}

void AsyncProber::drainWake() {
  char buffer[64];
  while (::read(wakeRead_.get(), buffer, sizeof buffer) > 0) {
  }
}

bool AsyncProber::takeSubmitted(std::vector<Pending>& active) {
  std::lock_guard lock(mutex_);
  for (auto& request : submitted_)
    active.push_back({std::make_unique<LoopbackProbe>(request.port, request.deadline), std::move(request.done)});
  submitted_.clear();
  return !stopping_;
}

void AsyncProber::answerFinished(std::vector<Pending>& active) {
  auto finished = std::stable_partition(active.begin(), active.end(),
                                        [](const Pending& p) { return !p.probe->finished(); });
  std::vector<Pending> answered(std::make_move_iterator(finished), std::make_move_iterator(active.end()));
  active.erase(finished, active.end());
  for (auto& pending : answered) pending.done(pending.probe->answered());
}

void AsyncProber::run() {
  std::vector<Pending> active;
  // Callbacks run outside the lock, so one may submit the next probe.
  while (takeSubmitted(active)) {
    answerFinished(active);
    std::vector<LoopbackProbe*> probes;
    for (auto& pending : active) probes.push_back(pending.probe.get());
    pollProbesOnce(probes, clock_, wakeRead_.get());
    drainWake();
    answerFinished(active);
  }
  for (auto& pending : active) pending.done(false);
}

}  // namespace PortCore
