#include "integrations/editor.h"

#include "core/process/detached_launch.h"
#include "core/system/tool_runner.h"

#include <sys/stat.h>

namespace Editor {

namespace {
bool exists(const char* path) {
  struct stat info {};
  return ::stat(path, &info) == 0;
}
}  // namespace

std::optional<std::string> appName() {
  if (exists("/Applications/Cursor.app")) return "Cursor";
  if (exists("/Applications/Visual Studio Code.app")) return "Visual Studio Code";
  return std::nullopt;
}

std::string fallbackName() { return "Finder"; }

void open(const std::string& path) {
  if (auto name = appName()) {
    PortCore::runTool("/usr/bin/open", {"-a", *name, path});
    return;
  }
  // The workspace's default handler for a folder is Finder; not waited for.
  PortCore::systemLauncher().launch({{"/usr/bin/open", path}, std::nullopt});
}

}  // namespace Editor
