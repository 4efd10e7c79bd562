#include "core/system/executable_path.h"

#include <filesystem>
#include <system_error>

namespace PortCore {

std::string runningExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

}  // namespace PortCore
