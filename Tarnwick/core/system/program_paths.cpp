#include "core/system/program_paths.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace PortCore {

std::string executableDirectory() {
  auto executable = runningExecutablePath();
  return executable.empty() ? std::string() : std::filesystem::path(executable).parent_path().string();
}

bool isExecutableFile(const std::string& path) {
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace PortCore
