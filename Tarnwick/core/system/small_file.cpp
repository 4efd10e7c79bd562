#include "core/system/small_file.h"

#include "core/system/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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

// Non-blocking open and the file-type test keep a FIFO or a device that
// someone named package.json from stalling the scan.
std::optional<std::string> readSmallFile(const std::string& path) {
  // Anything larger is not worth parsing on every refresh.
  constexpr size_t limit = 1 << 20;
  UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file.valid()) return std::nullopt;
  struct stat info{};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (info.st_size > static_cast<off_t>(limit)) return std::nullopt;
  return readToEnd(file.get(), limit);
}

}  // namespace PortCore
