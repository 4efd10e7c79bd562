#include "core/process/restart_shell.h"

#include "core/system/program_paths.h"
#include "core/system/number.h"

#include <algorithm>
#include <pwd.h>
#include <string_view>
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

// A csh answers "-lc" with "Unknown option", and fish's `exec "$@"` is not
// the same command: only the shells that read the one script as POSIX says.
std::string usableLoginShell(const char* shell) {
  static constexpr std::string_view posixShells[] = {"sh", "bash", "dash", "zsh", "ksh", "mksh", "yash"};
  const std::string fallback = "/bin/sh";
  if (!shell || shell[0] != '/') return fallback;
  auto name = lastPathComponent(shell);
  if (std::find(std::begin(posixShells), std::end(posixShells), name) == std::end(posixShells)) return fallback;
  return isExecutableFile(shell) ? std::string(shell) : fallback;
}

}  // namespace PortCore
