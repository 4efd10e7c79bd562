#pragma once
// Which container, if any, holds a listed socket. A container runtime
// publishes a port through a proxy process of its own; any other holder is a
// process of the user's, whatever a container publishes on the same port.
#include "core/records/port_entry.h"
#include "integrations/docker.h"

#include <optional>
#include <string>
#include <string_view>

namespace Docker {

/// True for the programs container runtimes hold published ports with
/// (docker-proxy, rootlessport, rootlesskit, conmon, slirp4netns, pasta,
/// pasta.avx2), matched exactly on the last path component of `command`.
bool isPortProxy(std::string_view command);

/// The container whose published port `entry` is: its holder is a port proxy,
/// and a container publishes its port on its address or on every address
/// ("0.0.0.0", "::", or none given). Of several, the one the client listed
/// last. Absent otherwise: the socket is its holder's own.
std::optional<std::string> containerHolding(const PortEntry& entry, const ContainerMap& containers);

}  // namespace Docker
