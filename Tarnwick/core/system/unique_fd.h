#pragma once
// The one owner of a file descriptor: closed when the owner goes away, so no
// return path leaks one.
#include <optional>
#include <unistd.h>
#include <utility>

namespace PortCore {

/// Owns `fd` (-1: none) and closes it on destruction or reassignment.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

/// Both ends of a pipe, closed on exec.
struct Pipe {
  UniqueFd read;
  UniqueFd write;
};

enum class NonBlocking { None, ReadEnd, BothEnds };

/// A new pipe; absent when the system has no descriptors to spare.
std::optional<Pipe> openPipe(NonBlocking nonBlocking);

}  // namespace PortCore
