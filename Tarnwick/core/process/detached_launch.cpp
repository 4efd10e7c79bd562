#include "core/process/detached_launch.h"

#include "core/process/spawn_session.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<char*> argumentPointers(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const auto& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

bool prepare(const DetachedCommand& command, posix_spawn_file_actions_t& actions,
             posix_spawnattr_t& attributes) {
  bool ok = posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0;
  if (ok && command.workingDirectory)
    ok = posix_spawn_file_actions_addchdir_np(&actions, command.workingDirectory->c_str()) == 0;
  // The caller may block or ignore signals (a GUI does); the restarted
  // service must start with the defaults a terminal would give it.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  ok = ok && posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
       posix_spawnattr_setsigdefault(&attributes, &all) == 0 &&
       PortCore::prepareNewSession(actions, attributes, flags);
  return ok && posix_spawnattr_setflags(&attributes, flags) == 0;
}

// The command is spawned by an intermediate child that exits at once, so the
// command's parent becomes init and this long-lived process never holds a
// zombie or needs a SIGCHLD handler. Everything the intermediate uses was
// prepared before the fork, which matters in a process with other threads.
// posix_spawn reports a failed directory change or exec of the command as its
// error; the intermediate's exit status carries that back.
LaunchResult spawnThroughIntermediate(const char* path, const posix_spawn_file_actions_t& actions,
                                      const posix_spawnattr_t& attributes, char* const* argv) {
  pid_t intermediate = ::fork();
  if (intermediate == 0) {
    pid_t command = 0;
    int error = ::posix_spawn(&command, path, &actions, &attributes, argv, environ);
    ::_exit(error == 0 ? 0 : 1);
  }
  if (intermediate < 0) return LaunchResult::Failed;
  int status = 0;
  while (::waitpid(intermediate, &status, 0) < 0) {
    if (errno != EINTR) return LaunchResult::Failed;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? LaunchResult::Started : LaunchResult::Failed;
}

}  // namespace

LaunchResult RealDetachedLauncher::launch(const DetachedCommand& command) {
  if (command.argv.empty()) return LaunchResult::Failed;
  auto result = LaunchResult::Failed;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  if (prepare(command, actions, attributes)) {
    auto argv = argumentPointers(command.argv);
    result = spawnThroughIntermediate(command.argv.front().c_str(), actions, attributes, argv.data());
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return result;
}

namespace PortCore {

DetachedLauncher& systemLauncher() {
  static RealDetachedLauncher launcher;
  return launcher;
}

}  // namespace PortCore
