#include "core/restart_shell.h"

#include "core/executable_path.h"
#include "core/number.h"

namespace PortCore {

std::vector<std::string> restartShellCommand(const std::string& shell, const std::vector<std::string>& arguments) {
  // "tarnwick" is the shell's $0: the name its own messages carry.
  std::vector<std::string> argv{shell, "-lc", "exec \"$@\"", "tarnwick"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

std::string usableLoginShell(const char* shell) {
  const std::string fallback = "/bin/sh";
  if (!shell || shell[0] != '/') return fallback;
  auto name = lastPathComponent(shell);
  if (name == "nologin" || name == "false" || !isExecutableFile(shell)) return fallback;
  return shell;
}

}  // namespace PortCore
