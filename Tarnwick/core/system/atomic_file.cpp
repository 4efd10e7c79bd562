#include "core/system/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace PortCore {

namespace {

FileWrite fromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileWrite::NoSuchDirectory;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileWrite::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
      return FileWrite::NoSpace;
    default:
      return FileWrite::Failed;
  }
}

std::string directoryOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A name nobody can guess ahead of us, beside the target so that the rename
// stays within one file system.
std::string temporaryName(const std::string& path) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string name = path + ".tmp-";
  for (int i = 0; i < 12; ++i) name += kLetters[pick(random)];
  return name;
}

// O_EXCL refuses anything already at the name, a link included; a clash with
// a file someone planted only costs another name.
int createTemporary(const std::string& path, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = temporaryName(path);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return false;
    if (written == 0) {
      errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Without this the rename itself may not survive a crash, though the content
// would; the file is in place either way, so a failure here is not reported.
void syncDirectory(const std::string& directory) {
  UniqueFd fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.valid()) ::fsync(fd.get());
}

}  // namespace

FileWrite writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode) {
  std::string temporary;
  int fd = createTemporary(path, mode, temporary);
  if (fd < 0) return fromErrno(errno);
  bool stored = writeAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && stored) {
    stored = false;
    error = errno;
  }
  if (stored && ::rename(temporary.c_str(), path.c_str()) == 0) {
    syncDirectory(directoryOf(path));
    return FileWrite::Written;
  }
  if (stored) error = errno;
  ::unlink(temporary.c_str());
  return fromErrno(error);
}

UniqueFd replaceWithNewFile(const std::string& path, mode_t mode) {
  std::string temporary;
  UniqueFd fd(createTemporary(path, mode, temporary));
  if (!fd.valid()) return {};
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return {};
  }
  return fd;
}

}  // namespace PortCore
