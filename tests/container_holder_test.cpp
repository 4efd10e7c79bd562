#include "integrations/container_holder.h"

#include <gtest/gtest.h>

namespace {

// A port shows a container only when a runtime's proxy holds the socket and a
// container publishes the port on the socket's address, or on every address.
TEST(ContainerHolder, OnlyAProxyOnThePublishedAddressIsTheContainers) {
  using P = std::vector<PublishedPort>;
  struct Case {
    const char* holder;
    P published;  // on port 3000
    const char* address;  // of the socket, as the scan writes it
    std::optional<std::string> container;
  };
  const Case cases[] = {
      {"node", {{"0.0.0.0", "web"}}, "*", std::nullopt},  // the user's own server on a published port
      {"docker-proxy", {{"0.0.0.0", "web"}}, "*", "web"},
      {"docker-proxy", {{"::", "web"}}, "127.0.0.1", "web"},  // an unspecified address matches any
      {"docker-proxy", {{"127.0.0.2", "web"}}, "127.0.0.1", std::nullopt},
      {"docker-proxy", {{"127.0.0.1", "web"}}, "*", std::nullopt},  // published on one address only
      {"pasta.avx2", {{"::1", "web"}}, "[::1]", "web"},
      {"/usr/libexec/podman/rootlessport", {{"127.0.0.1", "web"}}, "127.0.0.1", "web"},  // a path, as ps prints it
      {"docker-proxy-x", {{"0.0.0.0", "web"}}, "*", std::nullopt},  // names match whole
      {"docker-proxy", {{"localhost", "web"}}, "127.0.0.1", std::nullopt},  // an address we cannot read
      {"docker-proxy", {{"127.0.0.1", "api"}, {"127.0.0.2", "web"}}, "127.0.0.1", "api"},
      {"docker-proxy", {{"127.0.0.1", "api"}, {"0.0.0.0", "web"}}, "127.0.0.1", "web"},  // the last listed
  };
  for (const Case& c : cases) {
    const PortEntry entry{3000, c.address, 42, c.holder, "root", {}, 42, {}, {}};
    const ContainerMap containers{{3000, c.published}, {3001, {{"0.0.0.0", "other"}}}};
    EXPECT_EQ(Docker::containerHolding(entry, containers), c.container) << c.holder << " on " << c.address;
  }
}

}  // namespace
