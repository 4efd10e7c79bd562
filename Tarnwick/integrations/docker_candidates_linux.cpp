#include "integrations/docker.h"

namespace Docker {

// Debian's docker.io package installs the client in /usr/bin.
std::vector<std::string> clientCandidates() {
  return {"/usr/local/bin/docker", "/opt/homebrew/bin/docker", "/usr/bin/docker"};
}

}  // namespace Docker
