#include "core/process/restart_shell.h"

#include "core/system/executable_path.h"
#include "core/system/number.h"

#include <pwd.h>
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
