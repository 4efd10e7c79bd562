#include "integrations/login_item.h"

#include "core/system/atomic_file.h"
#include "core/system/program_paths.h"
#include "core/system/unique_fd.h"
#include "integrations/login_item_text.h"

#include <cerrno>
#include <filesystem>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace LoginItem {

namespace {

const fs::path& plistPath() {
  static const fs::path path = fs::path(homeDirectory()) / "Library/LaunchAgents/com.ulmarsh.tarnwick.plist";
  return path;
}

// Not waited for; its standard error goes to a pipe nobody reads.
void bootstrapAgent(const fs::path& plist) {
  auto errorPipe = PortCore::openPipe(PortCore::NonBlocking::None);
  if (!errorPipe) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, errorPipe->write.get(), STDERR_FILENO);
  std::string domain = "gui/" + std::to_string(::getuid());
  std::string path = plist.string();
  const char* argv[] = {"/bin/launchctl", "bootstrap", domain.c_str(), path.c_str(), nullptr};
  pid_t child = 0;
  ::posix_spawn(&child, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

bool isEnabled(LoginService* bundled) {
  if (bundled) return bundled->isEnabled();
  std::error_code error;
  return fs::exists(plistPath(), error);
}

void enable(LoginService* bundled) {
  std::error_code error;
  if (bundled) {
    fs::remove(plistPath(), error);
    bundled->enable();
    return;
  }
  std::string text = launchAgentPlist(binaryPath());
  fs::create_directories(plistPath().parent_path(), error);
  if (PortCore::writeFileAtomically(plistPath().string(), text) == PortCore::FileWrite::Written)
    bootstrapAgent(plistPath());
}

void disable(LoginService* bundled) {
  if (bundled) {
    bundled->disable();
    return;
  }
  std::error_code error;
  fs::remove(plistPath(), error);
}

std::string binaryPath() { return binaryPath(homeDirectory(), PortCore::runningExecutablePath()); }

}  // namespace LoginItem
