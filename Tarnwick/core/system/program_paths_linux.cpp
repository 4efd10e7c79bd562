#include "core/system/program_paths.h"

#include "core/system/proc_files.h"

namespace PortCore {

std::string runningExecutablePath() {
  return systemProcRoot().readLink("self/exe");
}

std::optional<std::filesystem::path> applicationResources(const std::filesystem::path&) { return std::nullopt; }

}  // namespace PortCore

namespace ToolPaths {

const char* const lsof = "/usr/bin/lsof";
const char* const ps = "/usr/bin/ps";

// Debian's docker.io package installs the client in /usr/bin.
std::vector<std::string> dockerCandidates() {
  return {"/usr/local/bin/docker", "/opt/homebrew/bin/docker", "/usr/bin/docker"};
}

}  // namespace ToolPaths
