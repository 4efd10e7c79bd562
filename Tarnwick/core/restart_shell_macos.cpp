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

}  // namespace PortCore
