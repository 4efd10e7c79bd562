#include "integrations/login_item.h"

#include "core/system/program_paths.h"
#include "integrations/autostart_entry.h"

#include <cstdlib>

namespace LoginItem {

namespace {
std::string entryPath() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  return AutostartEntry::path(configHome ? configHome : "", homeDirectory());
}
}  // namespace

bool isEnabled(LoginService*) { return AutostartEntry::exists(entryPath()); }

void enable(LoginService*) { AutostartEntry::write(entryPath(), binaryPath()); }

void disable(LoginService*) { AutostartEntry::remove(entryPath()); }

std::string binaryPath() { return binaryPath(homeDirectory(), PortCore::runningExecutablePath()); }

}  // namespace LoginItem
