#include "integrations/container_holder.h"

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cstring>
#include <netinet/in.h>

namespace Docker {

namespace {

// Each name fits the kernel's 15-byte command name whole, so the name the
// scan reports is enough to know them.
constexpr std::string_view kPortProxies[] = {"docker-proxy", "rootlessport", "rootlesskit", "conmon",
                                             "slirp4netns",  "pasta",        "pasta.avx2"};

constexpr std::array<unsigned char, 16> kUnspecified{};
constexpr std::array<unsigned char, 16> kUnspecifiedFour{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};

// An address as bytes, IPv4 in its IPv6-mapped form, so that the scan's
// "127.0.0.1" and a client's "::ffff:127.0.0.1" are one address.
struct Address {
  enum class Kind { Any, One, Unreadable } kind = Kind::Unreadable;
  std::array<unsigned char, 16> bytes{};
};

Address addressOf(std::string_view text) {
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
  if (text.empty() || text == "*") return {Address::Kind::Any};
  if (text.size() >= INET6_ADDRSTRLEN) return {};
  char buffer[INET6_ADDRSTRLEN] = {};
  std::memcpy(buffer, text.data(), text.size());
  Address address{Address::Kind::One};
  in6_addr six;
  in_addr four;
  if (::inet_pton(AF_INET6, buffer, &six) == 1) {
    std::memcpy(address.bytes.data(), &six, 16);
  } else if (::inet_pton(AF_INET, buffer, &four) == 1) {
    address.bytes[10] = address.bytes[11] = 0xff;
    std::memcpy(address.bytes.data() + 12, &four, 4);
  } else {
    return {};
  }
  if (address.bytes == kUnspecified || address.bytes == kUnspecifiedFour) return {Address::Kind::Any};
  return address;
}

// A host address the client could not be understood on publishes nowhere we
// can tell, so it matches nothing: the socket then keeps its holder's actions.
bool publishesOn(const PublishedPort& publication, const Address& socket) {
  Address published = addressOf(publication.host);
  if (published.kind == Address::Kind::Any) return true;
  return published.kind == Address::Kind::One && socket.kind == Address::Kind::One &&
         published.bytes == socket.bytes;
}

}  // namespace

bool isPortProxy(std::string_view command) {
  if (size_t slash = command.rfind('/'); slash != std::string_view::npos) command.remove_prefix(slash + 1);
  return std::find(std::begin(kPortProxies), std::end(kPortProxies), command) != std::end(kPortProxies);
}

std::optional<std::string> containerHolding(const PortEntry& entry, const ContainerMap& containers) {
  if (!isPortProxy(entry.command)) return std::nullopt;
  auto port = containers.find(entry.port);
  if (port == containers.end()) return std::nullopt;
  const Address socket = addressOf(entry.address);
  for (auto it = port->second.rbegin(); it != port->second.rend(); ++it)
    if (publishesOn(*it, socket)) return it->name;
  return std::nullopt;
}

}  // namespace Docker
