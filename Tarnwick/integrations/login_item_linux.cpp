#include "integrations/login_item.h"

#include "core/executable_path.h"
#include "integrations/autostart_entry.h"

#include <cstdlib>

namespace LoginItem {

namespace {
std::string entryPath() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  return AutostartEntry::path(configHome ? configHome : "", homeDirectory());
}
}  // namespace

bool isEnabled() { return AutostartEntry::exists(entryPath()); }

void enable() { AutostartEntry::write(entryPath(), binaryPath()); }

void disable() { AutostartEntry::remove(entryPath()); }

std::string binaryPath() { return binaryPath(homeDirectory(), PortCore::runningExecutablePath()); }

}  // namespace LoginItem
