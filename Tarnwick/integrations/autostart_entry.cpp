#include "integrations/autostart_entry.h"

#include "integrations/login_item_text.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace AutostartEntry {

std::string path(const std::string& xdgConfigHome, const std::string& home) {
  fs::path config = !xdgConfigHome.empty() && xdgConfigHome.front() == '/' ? fs::path(xdgConfigHome)
                                                                           : fs::path(home) / ".config";
  return (config / "autostart" / "com.ulmarsh.tarnwick.desktop").string();
}

bool exists(const std::string& entryPath) {
  std::error_code error;
  return fs::exists(entryPath, error);
}

bool write(const std::string& entryPath, const std::string& binaryPath) {
  std::error_code error;
  fs::create_directories(fs::path(entryPath).parent_path(), error);
  std::string temporary = entryPath + ".tmp." + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << LoginItem::desktopEntryText(binaryPath);
    out.flush();
    if (!out) {
      fs::remove(temporary, error);
      return false;
    }
  }
  fs::rename(temporary, entryPath, error);
  if (!error) return true;
  fs::remove(temporary, error);
  return false;
}

void remove(const std::string& entryPath) {
  std::error_code error;
  fs::remove(entryPath, error);
}

}  // namespace AutostartEntry
