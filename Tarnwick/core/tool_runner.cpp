#include "core/tool_runner.h"

#include "core/text.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<char*> argumentVector(const std::string& path, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 2);
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

std::string readToEnd(int fd) {
  std::string out;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      out.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      return out;
    }
  }
}

void waitForExit(pid_t child) {
  while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::string RealToolRunner::run(const std::string& path, const std::vector<std::string>& args) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  auto argv = argumentVector(path, args);
  pid_t child = 0;
  int spawnError = ::posix_spawn(&child, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawnError != 0) {
    ::close(pipeFds[0]);
    return {};
  }
  // Read everything before waiting: a child that fills the pipe would
  // otherwise never exit.
  std::string bytes = readToEnd(pipeFds[0]);
  waitForExit(child);
  ::close(pipeFds[0]);
  return PortCore::decodeUtf8Lossy(bytes);
}

namespace PortCore {

ToolRunner& systemToolRunner() {
  static RealToolRunner runner;
  return runner;
}

std::string runTool(const std::string& path, const std::vector<std::string>& args) {
  return systemToolRunner().run(path, args);
}

}  // namespace PortCore
