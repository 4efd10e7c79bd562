#include "core/restart_shell.h"

namespace PortCore {

std::vector<std::string> restartShellCommand(const std::string& shell, const std::vector<std::string>& arguments) {
  // "tarnwick" is the shell's $0: the name its own messages carry.
  std::vector<std::string> argv{shell, "-lc", "exec \"$@\"", "tarnwick"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

}  // namespace PortCore
