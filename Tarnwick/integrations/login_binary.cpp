#include "integrations/login_item.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace LoginItem {

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return {};
}

std::string binaryPath(const std::string& home, const std::string& executable) {
  std::error_code error;
  fs::path installed = fs::path(home) / ".local/bin/tarnwick-menubar";
  if (!home.empty() && fs::exists(installed, error)) return installed.string();
  auto resolved = fs::weakly_canonical(fs::absolute(executable, error), error);
  return error ? executable : resolved.string();
}

}  // namespace LoginItem
