#include "app/qt_module.h"

#include <filesystem>
#include <system_error>

std::vector<std::string> qtModuleCandidates(const std::string& executableDirectory) {
  const std::string name = "libtarnwick_qt.so";
  return {executableDirectory + "/" + name, executableDirectory + "/../lib/tarnwick/" + name};
}

std::string executableDirectory() {
  std::error_code error;
  auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return executable.parent_path().string();
}
