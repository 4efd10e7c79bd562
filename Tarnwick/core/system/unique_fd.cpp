#include "core/system/unique_fd.h"

#include <fcntl.h>

namespace PortCore {

namespace {

bool addFlags(int fd, int getCommand, int setCommand, int flags) {
  int current = ::fcntl(fd, getCommand);
  return current >= 0 && ::fcntl(fd, setCommand, current | flags) == 0;
}

}  // namespace

// pipe + fcntl rather than pipe2, which macOS lacks. A tool spawned by another
// thread in between may inherit an end; a reader that stops once its own child
// has exited loses nothing by that.
std::optional<Pipe> openPipe(NonBlocking nonBlocking) {
  int fds[2];
  if (::pipe(fds) != 0) return std::nullopt;
  Pipe pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
  bool ok = addFlags(fds[0], F_GETFD, F_SETFD, FD_CLOEXEC) && addFlags(fds[1], F_GETFD, F_SETFD, FD_CLOEXEC);
  if (nonBlocking != NonBlocking::None) ok = ok && addFlags(fds[0], F_GETFL, F_SETFL, O_NONBLOCK);
  if (nonBlocking == NonBlocking::BothEnds) ok = ok && addFlags(fds[1], F_GETFL, F_SETFL, O_NONBLOCK);
  if (!ok) return std::nullopt;
  return pipe;
}

}  // namespace PortCore
