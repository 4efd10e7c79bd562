#include "core/system/tool_runner.h"

#include "core/system/clock.h"
#include "core/system/text.h"
#include "core/system/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// How often a tool that has gone quiet is checked for having exited: no
// descriptor reports a child's exit on every platform, and a SIGCHLD handler
// would belong to the whole process rather than to this run.
constexpr std::chrono::milliseconds kExitCheckInterval{20};

std::vector<char*> argumentVector(const std::string& path, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// A group of its own lets one kill reach everything the tool started. Standard
// input is /dev/null because a background group that reads the terminal is
// stopped. The signal mask and SIGPIPE are reset: a worker thread's blocked
// signals and an ignored SIGPIPE would otherwise let a flooding tool outlive
// the closing of its pipe.
std::optional<pid_t> spawnInGroup(const std::string& path, const std::vector<std::string>& args, int out) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t none, pipeSignal;
  sigemptyset(&none);
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &pipeSignal);

  auto argv = argumentVector(path, args);
  pid_t child = 0;
  int error = ::posix_spawn(&child, path.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return std::nullopt;
  return child;
}

struct Output {
  std::string bytes;
  bool ended = false;       ///< every writer has closed the pipe
  bool overflowed = false;  ///< more than the cap arrived
};

// Takes what the pipe holds now, without waiting.
void drain(int fd, Output& out, size_t cap) {
  char buffer[65536];
  while (!out.ended && !out.overflowed) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      if (out.bytes.size() + static_cast<size_t>(n) > cap)
        out.overflowed = true;
      else
        out.bytes.append(buffer, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      out.ended = true;
    }
  }
}

// WNOWAIT leaves an exited tool a zombie, so its ID, and with it the group's,
// cannot be taken by another process before the group is killed.
bool hasExited(pid_t child) {
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
    if (errno != EINTR) return true;  // reaped elsewhere (SIGCHLD ignored)
  return info.si_pid == child;
}

void waitForOutput(int fd, Clock::Duration timeout) {
  pollfd entry{fd, POLLIN, 0};  // a negative fd is skipped: then this only waits
  auto ms = std::chrono::ceil<std::chrono::milliseconds>(timeout).count();
  ::poll(&entry, 1, static_cast<int>(ms));
}

void killGroupAndReap(pid_t child) {
  ::kill(-child, SIGKILL);
  ::kill(child, SIGKILL);  // in case it left its group
  while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// The tool's whole output, or nothing past the limits. Reading stops when the
// tool has exited, not at end of output: a background child may hold the pipe.
std::optional<std::string> collect(int fd, pid_t child, const ToolLimits& limits) {
  const Clock& clock = PortCore::systemClock();
  const Clock::Duration deadline = clock.now() + limits.deadline;
  Output out;
  for (;;) {
    drain(fd, out, limits.maxOutput);
    if (out.overflowed) break;
    if (hasExited(child)) {
      ::kill(-child, SIGKILL);  // whatever it left behind
      drain(fd, out, limits.maxOutput);
      killGroupAndReap(child);
      if (out.overflowed) return std::nullopt;
      return std::move(out.bytes);
    }
    Clock::Duration remaining = deadline - clock.now();
    if (remaining <= Clock::Duration::zero()) break;
    waitForOutput(out.ended ? -1 : fd, std::min<Clock::Duration>(remaining, kExitCheckInterval));
  }
  killGroupAndReap(child);
  return std::nullopt;
}

}  // namespace

std::string RealToolRunner::run(const std::string& path, const std::vector<std::string>& args,
                                const ToolLimits& limits) {
  auto pipe = PortCore::openPipe(PortCore::NonBlocking::ReadEnd);
  if (!pipe) return {};
  auto child = spawnInGroup(path, args, pipe->write.get());
  pipe->write.reset();  // so that the end of output is seen once the tool's side closes
  std::optional<std::string> bytes;
  if (child) bytes = collect(pipe->read.get(), *child, limits);
  return bytes ? PortCore::decodeUtf8Lossy(*bytes) : std::string();
}

namespace PortCore {

ToolRunner& systemToolRunner() {
  static RealToolRunner runner;
  return runner;
}

std::string runTool(const std::string& path, const std::vector<std::string>& args, const ToolLimits& limits) {
  return systemToolRunner().run(path, args, limits);
}

}  // namespace PortCore
