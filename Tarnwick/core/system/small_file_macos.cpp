#include "core/system/small_file.h"

#include "core/system/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace PortCore {

// There is no O_PATH here: the non-blocking open keeps a FIFO from stalling
// the read, and the type test keeps anything but a regular file unread.
std::optional<std::string> readSmallFile(const std::string& path) {
  UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!file.valid()) return std::nullopt;
  struct stat info{};
  if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (info.st_size > static_cast<off_t>(kSmallFileLimit)) return std::nullopt;
  return readToEnd(file.get(), kSmallFileLimit);
}

}  // namespace PortCore
