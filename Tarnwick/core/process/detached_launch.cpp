#include "core/process/detached_launch.h"

#include "core/system/atomic_file.h"
#include "core/system/bounded_call.h"
#include "core/system/clock.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// A child's exit has no descriptor to wait on without a SIGCHLD handler,
// which would belong to the whole process.
constexpr std::chrono::milliseconds kExitCheckInterval{5};

// The platform part of a launch: a new session, and every descriptor above 2
// closed in the child (those the file actions name are kept); false when the
// platform refuses. Called before forking: it may allocate.
bool prepareNewSession([[maybe_unused]] posix_spawn_file_actions_t& actions, short& flags) {
#if defined(__APPLE__)
  // Every descriptor not named in the file actions is closed in the child.
  flags |= POSIX_SPAWN_SETSID | POSIX_SPAWN_CLOEXEC_DEFAULT;
  return true;
#else
  flags |= POSIX_SPAWN_SETSID;
  return posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
#endif
}

std::vector<char*> argumentPointers(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const auto& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// The relaunched command never reads the caller's terminal: a server started
// from a shell would otherwise take the lines typed at it afterwards.
bool prepare(const DetachedCommand& command, int output, posix_spawn_file_actions_t& actions,
             posix_spawnattr_t& attributes) {
  bool ok = posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0;
  if (output >= 0)
    ok = ok && posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO) == 0 &&
         posix_spawn_file_actions_adddup2(&actions, output, STDERR_FILENO) == 0;
  else
    ok = ok && posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
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
       prepareNewSession(actions, flags);
  return ok && posix_spawnattr_setflags(&attributes, flags) == 0;
}

// posix_spawn returns once the command has executed, so the intermediate's
// exit is the end of the exec. One stuck past the limit (its command's chdir
// or exec on a file system that stopped answering) is killed and reaped; a
// vfork parent's wait can be killed.
LaunchResult waitForIntermediate(pid_t intermediate) {
  const Clock& clock = PortCore::systemClock();
  const auto deadline = clock.now() + RealDetachedLauncher::kExecLimit;
  int status = 0;
  for (;;) {
    pid_t reaped = ::waitpid(intermediate, &status, WNOHANG);
    if (reaped == intermediate) break;
    if (reaped < 0 && errno != EINTR) return LaunchResult::Failed;
    if (clock.now() >= deadline) {
      ::kill(intermediate, SIGKILL);
      while (::waitpid(intermediate, nullptr, 0) < 0 && errno == EINTR) {
      }
      return LaunchResult::Failed;
    }
    std::this_thread::sleep_for(kExitCheckInterval);
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? LaunchResult::Started : LaunchResult::Failed;
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
  return waitForIntermediate(intermediate);
}

}  // namespace

LaunchResult RealDetachedLauncher::launch(const DetachedCommand& command) {
  if (command.argv.empty()) return LaunchResult::Failed;
  PortCore::UniqueFd output;
  if (command.output)
    output = PortCore::callWithin(kExecLimit, [path = *command.output] {
               return PortCore::replaceWithNewFile(path, 0600);
             }).value_or(PortCore::UniqueFd());
  auto result = LaunchResult::Failed;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  if (prepare(command, output.get(), actions, attributes)) {
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
