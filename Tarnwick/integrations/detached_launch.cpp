#include "integrations/detached_launch.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/close_range.h>
#include <sys/syscall.h>
#endif

extern char** environ;

namespace DetachedLaunch {

namespace {

void closeInheritedDescriptors() {
#if defined(SYS_close_range)
  if (::syscall(SYS_close_range, 3U, ~0U, 0U) == 0) return;
#endif
  for (int fd = 3, last = static_cast<int>(::sysconf(_SC_OPEN_MAX)); fd < last; ++fd) ::close(fd);
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void becomeProgram(const char* program, char* const* argv) {
  ::setsid();
  // The middle process exits at once, so the program is reparented and never
  // lingers as our zombie.
  if (::fork() != 0) ::_exit(0);
  int null = ::open("/dev/null", O_RDWR);
  if (null >= 0) {
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  closeInheritedDescriptors();
  ::execve(program, argv, environ);
  ::_exit(127);
}

}  // namespace

bool start(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  pid_t middle = ::fork();
  if (middle < 0) return false;
  if (middle == 0) becomeProgram(program.c_str(), argv.data());
  while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace DetachedLaunch
