#include "app/qt_module.h"

#include "core/system/executable_path.h"

#include <filesystem>

std::vector<std::string> qtModuleCandidates(const std::string& executableDirectory) {
  const std::string name = "libtarnwick_qt.so";
  return {executableDirectory + "/" + name, executableDirectory + "/../lib/tarnwick/" + name};
}

std::string executableDirectory() {
  auto executable = PortCore::runningExecutablePath();
  return executable.empty() ? std::string() : std::filesystem::path(executable).parent_path().string();
}
