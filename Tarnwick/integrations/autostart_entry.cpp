#include "integrations/autostart_entry.h"

#include "core/system/atomic_file.h"
#include "integrations/login_item_text.h"

#include <filesystem>

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
  return PortCore::writeFileAtomically(entryPath, LoginItem::desktopEntryText(binaryPath)) ==
         PortCore::FileWrite::Written;
}

void remove(const std::string& entryPath) {
  std::error_code error;
  fs::remove(entryPath, error);
}

}  // namespace AutostartEntry
