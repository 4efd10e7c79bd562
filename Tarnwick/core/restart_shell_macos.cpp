#include "core/restart_shell.h"

#include <unistd.h>

namespace PortCore {

std::string usableLoginShell(const char* shell) {
  if (!shell || shell[0] != '/' || ::access(shell, X_OK) != 0) return "/bin/sh";
  return shell;
}

std::vector<std::string> restartShellCommand(const std::string& commandLine) {
  return {"/bin/zsh", "-lc", commandLine};
}

}  // namespace PortCore
