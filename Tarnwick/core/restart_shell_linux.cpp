#include "core/restart_shell.h"

#include "core/number.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PortCore {

std::string loginShell() {
  struct passwd entry{};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
    return usableLoginShell(nullptr);
  return usableLoginShell(found->pw_shell);
}

std::string usableLoginShell(const char* shell) {
  const std::string fallback = "/bin/sh";
  if (!shell || shell[0] != '/') return fallback;
  auto name = lastPathComponent(shell);
  if (name == "nologin" || name == "false") return fallback;
  struct stat info{};
  if (::stat(shell, &info) != 0 || !S_ISREG(info.st_mode) || ::access(shell, X_OK) != 0)
    return fallback;
  return shell;
}

}  // namespace PortCore
