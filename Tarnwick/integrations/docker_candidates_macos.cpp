#include "integrations/docker.h"

namespace Docker {

std::vector<std::string> clientCandidates() { return {"/usr/local/bin/docker", "/opt/homebrew/bin/docker"}; }

}  // namespace Docker
