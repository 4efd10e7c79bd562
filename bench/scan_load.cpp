// scan_load: the load a port scan meets on a busy developer machine.
//   --listeners K        listening TCP sockets, on 127.0.0.1, ::1 and 0.0.0.0 in turn
//   --listener-procs P   processes the sockets are spread over (each at the end of
//                        a zsh > npm > sh > node parent chain, as npm scripts start them)
//   --idle Q             idle processes...
//   --files F            ...holding F open descriptors each (files, pipes, unix sockets)
// Prints "ready" once everything is set up, then waits. Everything runs in one
// process group of its own: a signal to the generator ends the whole group, and
// every child also dies with its parent.
#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <string>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
  int listeners = 10;
  int listenerProcs = 5;
  int idle = 200;
  int files = 10;
};

[[noreturn]] void die(const char* what) {
  std::perror(what);
  ::kill(0, SIGKILL);
  std::_Exit(1);
}

void endGroup(int) { ::kill(0, SIGKILL); }

[[noreturn]] void waitForever() {
  for (;;) ::pause();
}

// Every child dies with its parent, so a killed generator leaves nothing behind.
void becomeChild(const char* name, int readyRead) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() == 1) std::_Exit(0);
  ::prctl(PR_SET_NAME, name);
  if (readyRead >= 0) ::close(readyRead);
}

void listenOn(int index) {
  static const char* const addresses[] = {"127.0.0.1", "::1", "0.0.0.0"};
  const char* address = addresses[index % 3];
  bool v6 = std::strchr(address, ':') != nullptr;
  int fd = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
  if (fd < 0) die("socket");
  int one = 1;
  int rc;
  if (v6) {
    ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    ::inet_pton(AF_INET6, address, &addr.sin6_addr);
    rc = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  } else {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    ::inet_pton(AF_INET, address, &addr.sin_addr);
    rc = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  }
  if (rc != 0 || ::listen(fd, 16) != 0) die("listen");
}

void openFiles(int count) {
  static const char* const paths[] = {"/etc/passwd", "/etc/hostname", "/dev/null", "/usr/lib/os-release"};
  for (int opened = 0, i = 0; opened < count; ++i) {
    int kind = i % 6;
    if (kind == 4 && opened + 2 <= count) {
      int fds[2];
      if (::pipe(fds) == 0) opened += 2;
    } else if (kind == 5 && opened + 2 <= count) {
      int fds[2];
      if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0) opened += 2;
    } else if (::open(paths[i % 4], O_RDONLY) >= 0) {
      ++opened;
    }
  }
}

void signalReady(int readyWrite) {
  char byte = 1;
  if (::write(readyWrite, &byte, 1) != 1) die("ready pipe");
  ::close(readyWrite);
}

// zsh > npm > sh > node: the listener is the node at the end of the chain.
void startListenerChain(const std::vector<int>& sockets, int readyRead, int readyWrite) {
  static const char* const chain[] = {"zsh", "npm", "sh", "node"};
  for (const char* name : chain) {
    pid_t child = ::fork();
    if (child < 0) die("fork");
    if (child > 0) {
      if (name == chain[0]) return;  // the generator goes on
      ::close(readyWrite);
      waitForever();
    }
    becomeChild(name, readyRead);
  }
  for (int index : sockets) listenOn(index);
  signalReady(readyWrite);
  waitForever();
}

void startIdle(int files, int readyRead, int readyWrite) {
  pid_t child = ::fork();
  if (child < 0) die("fork");
  if (child > 0) return;
  becomeChild("idle", readyRead);
  openFiles(files);
  signalReady(readyWrite);
  waitForever();
}

Options parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i];
    int value = std::atoi(argv[i + 1]);
    if (name == "--listeners") options.listeners = value;
    else if (name == "--listener-procs") options.listenerProcs = value;
    else if (name == "--idle") options.idle = value;
    else if (name == "--files") options.files = value;
    else { std::fprintf(stderr, "unknown option %s\n", name.c_str()); std::exit(2); }
  }
  if (options.listenerProcs < 1) options.listenerProcs = 1;
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = parse(argc, argv);
  // Descriptors the launching shell leaked are no part of the scenario.
  ::close_range(3, ~0u, 0);
  ::setpgid(0, 0);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) std::signal(sig, endGroup);
  int ready[2];
  if (::pipe2(ready, O_CLOEXEC) != 0) die("pipe");
  int procs = options.listenerProcs < options.listeners ? options.listenerProcs : options.listeners;
  for (int p = 0; p < procs; ++p) {
    std::vector<int> sockets;
    for (int k = p; k < options.listeners; k += procs) sockets.push_back(k);
    startListenerChain(sockets, ready[0], ready[1]);
  }
  for (int q = 0; q < options.idle; ++q) startIdle(options.files, ready[0], ready[1]);
  ::close(ready[1]);
  int expected = procs + options.idle;
  char buffer[256];
  for (int got = 0; got < expected;) {
    ssize_t n = ::read(ready[0], buffer, sizeof buffer);
    if (n <= 0) die("a child failed to start");
    got += static_cast<int>(n);
  }
  std::printf("ready\n");
  std::fflush(stdout);
  waitForever();
}
