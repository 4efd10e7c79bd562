#include "core/system/small_file.h"

#include "core/system/proc_files.h"
#include "core/system/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace PortCore {

std::optional<std::string> readSmallFile(const std::string& path) {
  // An O_PATH descriptor names the file without opening it: a device acts on
  // open, a FIFO waits for a writer. Only once it is known to be a regular
  // file is it opened for reading, through the descriptor itself, so a rename
  // in between cannot swap something else in.
  UniqueFd named(::open(path.c_str(), O_PATH | O_CLOEXEC));
  if (!named.valid()) return std::nullopt;
  struct stat info{};
  if (::fstat(named.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (info.st_size > static_cast<off_t>(kSmallFileLimit)) return std::nullopt;
  std::string self = "self/fd/" + std::to_string(named.get());
  UniqueFd file(::openat(systemProcRoot().fd(), self.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!file.valid()) return std::nullopt;
  return readToEnd(file.get(), kSmallFileLimit);
}

}  // namespace PortCore
