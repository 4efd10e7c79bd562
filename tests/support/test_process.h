#pragma once
// Real processes for tests: started in a process group of their own and ended,
// group and all, when the handle goes away, even when the test fails.
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

class TestProcess {
 public:
  struct Options {
    std::string workingDirectory;       ///< empty: inherit
    std::vector<std::string> extraEnv;  ///< "NAME=value" entries added to the environment
  };

  /// Starts argv[0] (a path) with standard output on a pipe, in a process group
  /// of its own with default signal handling. A program that cannot run
  /// exits with status 127.
  static TestProcess start(const std::vector<std::string>& argv, const Options& options);
  static TestProcess start(const std::vector<std::string>& argv) { return start(argv, {}); }

  TestProcess(TestProcess&&) noexcept;
  TestProcess& operator=(TestProcess&&) noexcept;
  ~TestProcess();

  pid_t pid() const { return pid_; }
  /// The next line of standard output, or absent at end of output or timeout.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// Lines up to and including one equal to `last` (absent when a line takes longer than `timeout`).
  std::optional<std::vector<std::string>> readUntil(const std::string& last,
                                                    std::chrono::milliseconds timeout = std::chrono::seconds(10));
  /// True once the process has exited (reaped); waits up to `timeout`.
  bool waitForExit(std::chrono::milliseconds timeout);
  /// Waits for the process to end and reaps it; its exit status (128 + signal
  /// when killed), or -1 when it was reaped already.
  int waitExitStatus();
  /// SIGKILL to the whole group, then reap.
  void killGroup();

 private:
  TestProcess() = default;
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
  bool reaped_ = false;
  int status_ = 0;
};

/// tw_listener started with `args`; returns once it printed "ready". `ports`
/// receives the bound port numbers in --bind order.
TestProcess startListener(const std::vector<std::string>& args, std::vector<int>* ports = nullptr);

/// Polls `condition` every 20 ms until it holds or `timeout` passes.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

/// True while `pid` exists (signal 0 succeeds, and it is no zombie of ours).
bool processAlive(pid_t pid);

/// A fresh directory under the system's temporary directory, removed with
/// everything in it when the handle goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  /// Writes `content` to path()/relative, creating parent directories.
  std::string write(const std::string& relative, const std::string& content) const;

 private:
  std::string path_;
};

/// The whole content of a file (empty when it cannot be read).
std::string readFile(const std::string& path);
/// A loopback port that was free a moment ago (others may take it first).
int freeLoopbackPort();

/// Paths fixed at build time.
std::string listenerPath();  ///< the tw_listener program
std::string tarnwickPath();  ///< the tarnwick executable
std::string fakeTrayModulePath();  ///< a module that prints the arguments it is run with
std::string testDataPath(const std::string& name);  ///< tests/data/name

/// Runs a program to its end and returns its standard output and exit status.
struct RunResult {
  std::string out;
  int status = -1;
};
RunResult runProgram(const std::vector<std::string>& argv, const TestProcess::Options& options = {});

/// Runs `check` without root's rights and returns its report (empty when all
/// was well): in this process when it has none, else in a child that drops to
/// `nobody` first, so the unprivileged paths are checked either way.
std::string withoutRoot(const std::function<std::string()>& check);

/// True in a CI run (CI=true), which runs as root: there a test that needs
/// root must run, and one that would skip fails instead.
bool inContinuousIntegration();

/// Skips the test without root, with `why`; fails it in CI.
#define SKIP_UNLESS_ROOT(why)                                               \
  do {                                                                      \
    if (::geteuid() != 0) {                                                 \
      if (inContinuousIntegration()) FAIL() << why << " (CI runs as root)"; \
      GTEST_SKIP() << why;                                                  \
    }                                                                       \
  } while (0)
