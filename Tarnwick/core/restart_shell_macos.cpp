#include "core/restart_shell.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace PortCore {

std::string loginShell() {
  struct passwd entry{};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
    return "/bin/zsh";
  return usableLoginShell(found->pw_shell);
}

std::string usableLoginShell(const char* shell) {
  if (!shell || shell[0] != '/' || ::access(shell, X_OK) != 0) return "/bin/sh";
  return shell;
}

}  // namespace PortCore
