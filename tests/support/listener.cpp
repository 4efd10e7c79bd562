// tw_listener: a small TCP listener that tests start as a real process.
//   --bind ADDR:PORT   listen on ADDR (127.0.0.1, ::1, 0.0.0.0, ::, or "dual" for
//                      :: accepting IPv4 too); PORT 0 picks a free port. Repeatable.
//   --reuseport        set SO_REUSEPORT before binding (two processes, one port)
//   --reply LINE       answer every request with LINE and an empty line
//   --hold-reply TEXT  answer every request with TEXT alone and keep the connection open
//   --chdir DIR        change to DIR before listening
//   --fork             after binding, fork a child that inherits the sockets and
//                      keeps serving
//   --control FIFO     read one-byte commands from FIFO, each answered "done":
//                      'm' moves the first socket to descriptor 200, 'c' closes
//                      it, 'n' opens another loopback socket and forks a child
//                      that inherits it and only waits
// Prints "port N" per socket, then "ready", then serves until killed. Without
// --reply it accepts connections and never answers.
#include <netdb.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void die(const char* what) {
  std::perror(what);
  std::exit(1);
}

int listenOn(const std::string& spec, bool reusePort) {
  auto colon = spec.rfind(':');
  if (colon == std::string::npos) die("--bind needs ADDR:PORT");
  const std::string host = spec.substr(0, colon);
  const bool dual = host == "dual";
  addrinfo hints{}, *found = nullptr;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  hints.ai_socktype = SOCK_STREAM;
  if (::getaddrinfo(dual ? "::" : host.c_str(), spec.c_str() + colon + 1, &hints, &found) != 0) die("address");
  int fd = ::socket(found->ai_family, SOCK_STREAM, 0);
  int one = 1, v6only = dual ? 0 : 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (reusePort) ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
  if (found->ai_family == AF_INET6) ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &v6only, sizeof v6only);
  if (::bind(fd, found->ai_addr, found->ai_addrlen) != 0) die("bind");
  if (::listen(fd, 64) != 0) die("listen");
  ::freeaddrinfo(found);
  return fd;
}

int boundPort(int fd) {
  sockaddr_in6 addr{};  // the port sits at the same place in either family's address
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin6_port);
}

void answer(int client, const std::string& reply) {
  char buffer[4096];
  std::string request;
  for (ssize_t n; request.find("\r\n\r\n") == std::string::npos; request.append(buffer, static_cast<size_t>(n)))
    if ((n = ::read(client, buffer, sizeof buffer)) <= 0) return;
  (void)!::write(client, reply.data(), reply.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> binds;
  bool reusePort = false, forkChild = false, hold = false;
  std::string reply, control;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : (die(arg.c_str()), ""); };
    if (arg == "--bind") binds.push_back(next());
    else if (arg == "--reuseport") reusePort = true;
    else if (arg == "--reply") reply = next() + "\r\n\r\n";
    else if (arg == "--hold-reply") hold = !(reply = next()).empty();
    else if (arg == "--chdir") { if (::chdir(next().c_str()) != 0) die("chdir"); }
    else if (arg == "--fork") forkChild = true;
    else if (arg == "--control") control = next();
    else { std::fprintf(stderr, "unknown option %s\n", arg.c_str()); return 2; }
  }
  std::signal(SIGPIPE, SIG_IGN);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line reaches the test as it is printed
  std::vector<pollfd> fds;
  for (const auto& spec : binds) fds.push_back({listenOn(spec, reusePort), POLLIN, 0});
  for (const auto& fd : fds) std::printf("port %d\n", boundPort(fd.fd));
  if (forkChild && ::fork() < 0) die("fork");
  std::printf("ready\n");
  // Read-write, so the FIFO never reads as ended between the test's writes.
  int commands = control.empty() ? -1 : ::open(control.c_str(), O_RDWR);
  std::vector<int> held;
  for (;;) {
    fds.push_back({commands, POLLIN, 0});
    int ready = ::poll(fds.data(), fds.size(), -1);
    fds.pop_back();
    char command;
    if (ready > 0 && commands >= 0 && ::read(commands, &command, 1) == 1) {
      if (command == 'm' && ::dup2(fds[0].fd, 200) == 200) ::close(std::exchange(fds[0].fd, 200));
      if (command == 'c') {
        ::close(fds[0].fd);
        fds.erase(fds.begin());
      }
      if (command == 'n') held.push_back(listenOn("127.0.0.1:0", false));
      if (command == 'n' && ::fork() == 0) for (;;) ::pause();
      std::printf("done\n");
      continue;
    }
    for (auto& fd : fds) {
      if (!(fd.revents & POLLIN)) continue;
      int client = ::accept(fd.fd, nullptr, nullptr);
      if (client >= 0 && reply.empty()) held.push_back(client);  // accept and never answer
      if (client >= 0 && !reply.empty()) {
        answer(client, reply);
        if (hold) held.push_back(client);
        else ::close(client);
      }
    }
  }
}
