#include "core/scan/tcp_listeners.h"

#include "core/system/number.h"
#include "core/system/text.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

namespace PortCore {

namespace {

bool parseHex(std::string_view text, uint64_t& value) {
  if (text.empty() || text.size() > 16) return false;
  value = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10
                : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  return true;
}

// The kernel prints each 32-bit word of the address with %08X as it lies in
// memory, so the words go back into memory unchanged on the same machine.
bool parseAddressWords(std::string_view hex, unsigned char* bytes, size_t words) {
  if (hex.size() != words * 8) return false;
  for (size_t i = 0; i < words; ++i) {
    uint64_t word;
    if (!parseHex(hex.substr(i * 8, 8), word)) return false;
    auto value = static_cast<uint32_t>(word);
    std::memcpy(bytes + i * 4, &value, 4);
  }
  return true;
}

std::string ipv4Text(const unsigned char* bytes) {
  static const unsigned char any[4] = {0, 0, 0, 0};
  if (std::memcmp(bytes, any, 4) == 0) return "*";
  char text[INET_ADDRSTRLEN];
  if (!::inet_ntop(AF_INET, bytes, text, sizeof text)) return "*";
  return text;
}

}  // namespace

std::string socketAddressText(const unsigned char* bytes, TcpFamily family) {
  if (family == TcpFamily::V4) return ipv4Text(bytes);
  in6_addr address;
  std::memcpy(&address, bytes, sizeof address);
  if (IN6_IS_ADDR_UNSPECIFIED(&address)) return "*";
  if (IN6_IS_ADDR_V4MAPPED(&address)) return ipv4Text(bytes + 12);
  char text[INET6_ADDRSTRLEN];
  if (!::inet_ntop(AF_INET6, &address, text, sizeof text)) return "*";
  return std::string("[") + text + "]";
}

namespace {

std::string addressText(std::string_view hex, TcpFamily family, bool& ok) {
  unsigned char bytes[16];
  ok = parseAddressWords(hex, bytes, family == TcpFamily::V4 ? 1 : 4);
  if (!ok) return {};
  return socketAddressText(bytes, family);
}

// "  0: 0100007F:1F90 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000 0 12345 ..."
bool parseRow(std::string_view line, TcpFamily family, ListeningSocket& socket) {
  auto fields = splitNonEmpty(line, ' ');
  if (fields.size() < 10 || fields[3] != "0A") return false;
  auto local = fields[1];
  auto colon = local.find(':');
  uint64_t port;
  if (colon == std::string_view::npos || !parseHex(local.substr(colon + 1), port) || port > 65535)
    return false;
  auto uid = parseInt64(fields[7]);
  if (!uid || *uid < 0 || *uid > UINT32_MAX) return false;
  auto inode = parseUint64(fields[9]);
  if (!inode || *inode == 0) return false;
  bool ok;
  socket.address = addressText(local.substr(0, colon), family, ok);
  socket.port = static_cast<int64_t>(port);
  socket.inode = *inode;
  socket.uid = static_cast<uint32_t>(*uid);
  return ok;
}

}  // namespace

std::vector<ListeningSocket> parseTcpTable(std::string_view table, TcpFamily family) {
  std::vector<ListeningSocket> sockets;
  for (auto line : splitLines(table)) {
    ListeningSocket socket;
    if (parseRow(line, family, socket)) sockets.push_back(std::move(socket));
  }
  return sockets;
}

}  // namespace PortCore
