#include "support/test_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <fstream>
#include <string_view>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace {

std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
  auto name = [](std::string_view entry) { return entry.substr(0, entry.find('=') + 1); };
  std::vector<std::string> env = extra;
  for (char** e = environ; *e; ++e)
    if (std::none_of(extra.begin(), extra.end(), [&](const std::string& add) { return name(add) == name(*e); }))
      env.emplace_back(*e);
  return env;
}

// execve() takes `char* const[]` but writes to none of them.
std::vector<char*> pointers(const std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (const auto& s : strings) out.push_back(const_cast<char*>(s.c_str()));
  out.push_back(nullptr);
  return out;
}

}  // namespace

TestProcess TestProcess::start(const std::vector<std::string>& argv, const Options& options) {
  TestProcess process;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return process;
  }
  // Built before the fork: the child of a threaded process may only make system calls.
  auto env = environmentWith(options.extraEnv);
  auto argp = pointers(argv), envp = pointers(env);
  const char* directory = options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();
  process.pid_ = ::fork();
  if (process.pid_ == 0) {
    ::setpgid(0, 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal = 1; signal < NSIG; ++signal) ::signal(signal, SIG_DFL);
    ::dup2(fds[1], STDOUT_FILENO);
    if (!directory || ::chdir(directory) == 0) ::execve(argp[0], argp.data(), envp.data());
    ::_exit(127);
  }
  if (process.pid_ < 0) ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(errno);
  if (process.pid_ > 0) ::setpgid(process.pid_, 0);  // as the child does: the group exists before either runs on
  ::close(fds[1]);
  process.out_ = fds[0];
  return process;
}

TestProcess::TestProcess(TestProcess&& other) noexcept { *this = std::move(other); }

TestProcess& TestProcess::operator=(TestProcess&& other) noexcept {
  if (this != &other) {
    killGroup();
    pid_ = std::exchange(other.pid_, -1);
    out_ = std::exchange(other.out_, -1);
    buffer_ = std::move(other.buffer_);
    reaped_ = std::exchange(other.reaped_, false);
  }
  return *this;
}

TestProcess::~TestProcess() { killGroup(); }

void TestProcess::killGroup() {
  // The group may outlive its leader (children it started); the leader's own
  // PID is signalled only while it is still ours to reap.
  if (pid_ > 0) ::kill(-pid_, SIGKILL);
  if (pid_ > 0 && !reaped_) ::kill(pid_, SIGKILL);
  waitExitStatus();  // reaps the leader unless that was done already
  if (out_ >= 0) ::close(out_);
  pid_ = out_ = -1;
  reaped_ = false;
}

std::optional<std::string> TestProcess::readLine(std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  size_t newline;
  while ((newline = buffer_.find('\n')) == std::string::npos && out_ >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd p{out_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    ssize_t n = ::read(out_, chunk, sizeof chunk);
    if (n > 0) buffer_.append(chunk, static_cast<size_t>(n));
    else ::close(std::exchange(out_, -1));
  }
  // At the end of the output, an unterminated last line is a line too.
  if (newline == std::string::npos) return buffer_.empty() ? std::nullopt : std::optional(std::exchange(buffer_, {}));
  std::string line = buffer_.substr(0, newline);
  buffer_.erase(0, newline + 1);
  return line;
}

std::optional<std::vector<std::string>> TestProcess::readUntil(const std::string& last,
                                                               std::chrono::milliseconds timeout) {
  std::vector<std::string> lines;
  while (auto line = readLine(timeout)) {
    lines.push_back(*line);
    if (*line == last) return lines;
  }
  return std::nullopt;
}

// A failed wait (the PID reaped elsewhere) counts as an exit too, so no caller waits forever.
bool TestProcess::waitForExit(std::chrono::milliseconds timeout) {
  const auto reap = [this] { return reaped_ = ::waitpid(pid_, &status_, WNOHANG) != 0; };
  return pid_ <= 0 || reaped_ || waitUntil(reap, timeout);
}

int TestProcess::waitExitStatus() {
  if (pid_ <= 0 || reaped_ || !waitForExit(std::chrono::hours(1))) return -1;
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
}

TestProcess startListener(const std::vector<std::string>& args, std::vector<int>* ports) {
  std::vector<std::string> argv{listenerPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  auto process = TestProcess::start(argv);
  auto lines = process.readUntil("ready");
  EXPECT_TRUE(lines.has_value()) << "listener did not start";
  for (const auto& line : lines && ports ? *lines : std::vector<std::string>{})
    if (line.starts_with("port ")) ports->push_back(std::stoi(line.substr(5)));
  return process;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  for (auto deadline = std::chrono::steady_clock::now() + timeout; !condition();
       std::this_thread::sleep_for(std::chrono::milliseconds(20)))
    if (std::chrono::steady_clock::now() >= deadline) return false;
  return true;
}

bool processAlive(pid_t pid) {
  std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  auto close = stat.rfind(')');
  return ::kill(pid, 0) == 0 && !(close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z');
}

TempDir::TempDir() : path_((std::filesystem::temp_directory_path() / "tarnwick-test-XXXXXX").string()) {
  if (!::mkdtemp(path_.data())) ADD_FAILURE() << "mkdtemp failed";
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& relative, const std::string& content) const {
  auto file = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
  return file.string();
}

std::string listenerPath() { return TARNWICK_TEST_LISTENER; }
std::string tarnwickPath() { return TARNWICK_TEST_BINARY; }
std::string fakeTrayModulePath() { return TARNWICK_TEST_FAKE_TRAY_MODULE; }
std::string testDataPath(const std::string& name) { return std::string(TARNWICK_TEST_DATA) + "/" + name; }

RunResult runProgram(const std::vector<std::string>& argv, const TestProcess::Options& options) {
  auto process = TestProcess::start(argv, options);
  RunResult result;
  while (auto line = process.readLine(std::chrono::seconds(60))) result.out += *line + "\n";
  result.status = process.waitExitStatus();
  return result;
}

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int freeLoopbackPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
  socklen_t length = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
  ::close(fd);
  return ntohs(addr.sin_port);
}

bool inContinuousIntegration() {
  const char* ci = std::getenv("CI");
  return ci && std::string_view(ci) == "true";
}

std::string withoutRoot(const std::function<std::string()>& check) {
  if (::geteuid() != 0) return check();
  constexpr uid_t nobody = 65534;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return "pipe failed";
  pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(1);
    const std::string report = check();
    ::_exit(::write(fds[1], report.data(), report.size()) == static_cast<ssize_t>(report.size()) ? 0 : 1);
  }
  ::close(fds[1]);
  std::string report;
  char chunk[4096];
  for (ssize_t n; (n = ::read(fds[0], chunk, sizeof chunk)) > 0;) report.append(chunk, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = -1;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return "the check as nobody did not run to its end";
  return report;
}
