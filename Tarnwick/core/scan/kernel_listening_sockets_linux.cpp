#include "core/scan/tcp_listeners.h"

#include "core/system/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace PortCore {

namespace {

bool request(int fd, uint8_t family, uint32_t sequence) {
  struct {
    nlmsghdr header;
    inet_diag_req_v2 body;
  } message{};
  message.header.nlmsg_len = sizeof message;
  message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
  message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  message.header.nlmsg_seq = sequence;
  message.body.sdiag_family = family;
  message.body.sdiag_protocol = IPPROTO_TCP;
  message.body.idiag_states = 1u << TCP_LISTEN;  // the kernel then skips established sockets
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  return ::sendto(fd, &message, sizeof message, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) ==
         static_cast<ssize_t>(sizeof message);
}

// Reads the dump's answers up to NLMSG_DONE; false on an error answer.
// NLMSG_OK written out: the macro compares the header's unsigned length with
// the signed one left, which clang rightly warns about.
bool holdsMessage(const nlmsghdr* header, int length) {
  return length >= static_cast<int>(sizeof(nlmsghdr)) && header->nlmsg_len >= sizeof(nlmsghdr) &&
         header->nlmsg_len <= static_cast<unsigned>(length);
}

bool collect(int fd, uint8_t family, std::vector<ListeningSocket>& out) {
  alignas(nlmsghdr) char buffer[32768];
  auto tcpFamily = family == AF_INET ? TcpFamily::V4 : TcpFamily::V6;
  for (;;) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    int length = static_cast<int>(n);
    for (auto* header = reinterpret_cast<nlmsghdr*>(buffer); holdsMessage(header, length);
         header = NLMSG_NEXT(header, length)) {
      if (header->nlmsg_type == NLMSG_DONE) return true;
      if (header->nlmsg_type == NLMSG_ERROR) return false;
      if (header->nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg))) continue;
      const auto* socket = static_cast<const inet_diag_msg*>(NLMSG_DATA(header));
      if (socket->idiag_state != TCP_LISTEN || socket->idiag_inode == 0) continue;
      unsigned char bytes[16];
      std::memcpy(bytes, socket->id.idiag_src, sizeof bytes);
      out.push_back({socket->idiag_inode, socketAddressText(bytes, tcpFamily), ntohs(socket->id.idiag_sport),
                     socket->idiag_uid});
    }
  }
}

}  // namespace

std::optional<std::vector<ListeningSocket>> kernelListeningSockets() {
  UniqueFd netlink(::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
  if (!netlink.valid()) return std::nullopt;
  std::vector<ListeningSocket> sockets;
  uint32_t sequence = 0;
  for (uint8_t family : {AF_INET, AF_INET6}) {
    if (!request(netlink.get(), family, ++sequence) || !collect(netlink.get(), family, sockets))
      return std::nullopt;
  }
  return sockets;
}

}  // namespace PortCore
