#include "core/system/small_file.h"

#include <cerrno>
#include <unistd.h>

namespace PortCore {

std::optional<std::string> readToEnd(int fd, size_t limit) {
  // Read in large pieces: a seq_file such as /proc/net/tcp walks its table
  // again for every read() that did not fit.
  std::string content(16384, '\0');
  size_t used = 0;
  for (;;) {
    if (used == content.size()) content.resize(content.size() * 2);
    ssize_t n = ::read(fd, content.data() + used, content.size() - used);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    used += static_cast<size_t>(n);
    if (used > limit) return std::nullopt;
  }
  content.resize(used);
  return content;
}

}  // namespace PortCore
