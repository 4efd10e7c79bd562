#include "core/system/proc_files.h"

#include "core/system/number.h"
#include "core/system/small_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ProcFiles {

PortCore::UniqueFd openDir(int at, const char* path) {
  return PortCore::UniqueFd(::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::string readFile(int at, const char* path, size_t limit) {
  PortCore::UniqueFd file(::openat(at, path, O_RDONLY | O_CLOEXEC));
  if (!file.valid()) return {};
  return PortCore::readToEnd(file.get(), limit).value_or("");
}

std::string readLink(int at, const char* path, size_t limit, int* error) {
  std::string target(limit, '\0');
  ssize_t n = ::readlinkat(at, path, target.data(), limit);
  if (error) *error = n < 0 ? errno : 0;
  target.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return target;
}

uint64_t socketInode(std::string_view linkTarget) {
  constexpr std::string_view prefix = "socket:[";
  if (linkTarget.size() < prefix.size() + 2 || linkTarget.substr(0, prefix.size()) != prefix ||
      linkTarget.back() != ']')
    return 0;
  return PortCore::parseUint64(linkTarget.substr(prefix.size(), linkTarget.size() - prefix.size() - 1)).value_or(0);
}

int64_t ownerUid(int at, const char* path) {
  struct stat st;
  if (::fstatat(at, path, &st, 0) != 0) return -1;
  return st.st_uid;
}

}  // namespace ProcFiles

ProcRoot::ProcRoot(const std::string& path) : dir_(ProcFiles::openDir(AT_FDCWD, path.c_str())) {}

std::string ProcRoot::read(const std::string& relative, size_t limit) const {
  return ProcFiles::readFile(dir_.get(), relative.c_str(), limit);
}

std::string ProcRoot::readLink(const std::string& relative, size_t limit, int* error) const {
  return ProcFiles::readLink(dir_.get(), relative.c_str(), limit, error);
}

namespace PortCore {

const ProcRoot& systemProcRoot() {
  // Opened once and kept: every reader of the real /proc shares it.
  static const ProcRoot root("/proc");
  return root;
}

}  // namespace PortCore
