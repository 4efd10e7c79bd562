#pragma once
// The listening TCP sockets of this network namespace, read from the kernel's
// /proc/net/tcp and /proc/net/tcp6 tables.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ListeningSocket {
  uint64_t inode = 0;
  /// As lsof writes it: "*" for any address, 127.0.0.1, [::1]; IPv4-mapped
  /// IPv6 addresses are written as IPv4.
  std::string address;
  int64_t port = 0;
  uint32_t uid = 0;  ///< of the socket's creator
  bool operator==(const ListeningSocket&) const = default;
};

namespace PortCore {

enum class TcpFamily { V4, V6 };

/// Rows of one table in state 0A (LISTEN), in table order; rows that do not
/// fit, and sockets without an inode, are skipped.
std::vector<ListeningSocket> parseTcpTable(std::string_view table, TcpFamily family);

/// An address as lsof writes it, from its bytes in network order (4 for V4,
/// 16 for V6).
std::string socketAddressText(const unsigned char* bytes, TcpFamily family);

/// The listening sockets of this process's network namespace, asked of the
/// kernel over netlink (sock_diag), which walks only the listening hash;
/// absent when the kernel does not answer.
std::optional<std::vector<ListeningSocket>> kernelListeningSockets();

}  // namespace PortCore
