#include "core/system/program_paths.h"

#include <filesystem>
#include <system_error>

namespace PortCore {

std::string runningExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

}  // namespace PortCore

namespace ToolPaths {

const char* const lsof = "/usr/bin/lsof";
const char* const ps = "/usr/bin/ps";

// Debian's docker.io package installs the client in /usr/bin.
std::vector<std::string> dockerCandidates() {
  return {"/usr/local/bin/docker", "/opt/homebrew/bin/docker", "/usr/bin/docker"};
}

}  // namespace ToolPaths
