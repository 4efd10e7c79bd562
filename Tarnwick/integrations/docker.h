#pragma once
// Which docker container publishes which host port.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

using ContainerMap = std::map<int64_t, std::string>;

namespace Docker {

/// Host port to container name, cached for 30 s; empty without a docker client.
ContainerMap containerPorts();

/// Stops the container; does nothing without a docker client. Blocks.
void stop(const std::string& name);

/// The map from `docker ps --format "{{.Names}}\t{{.Ports}}"` output.
ContainerMap parseContainerPorts(std::string_view output);

}  // namespace Docker
