#include "integrations/login_item.h"

#include "core/atomic_file.h"
#include "integrations/login_item_text.h"

#include <CoreFoundation/CoreFoundation.h>
#include <cerrno>
#include <filesystem>
#include <mach-o/dyld.h>
#include <objc/message.h>
#include <objc/runtime.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace LoginItem {

namespace {

constexpr const char* kBundleIdentifier = "com.ulmarsh.tarnwick";

bool isBundled() {
  CFBundleRef bundle = CFBundleGetMainBundle();
  CFStringRef identifier = bundle ? CFBundleGetIdentifier(bundle) : nullptr;
  if (!identifier) return false;
  char buffer[256];
  return CFStringGetCString(identifier, buffer, sizeof buffer, kCFStringEncodingUTF8) &&
         std::string(buffer) == kBundleIdentifier;
}

const fs::path& plistPath() {
  static const fs::path path = fs::path(homeDirectory()) / "Library/LaunchAgents/com.ulmarsh.tarnwick.plist";
  return path;
}

// SMAppService.mainAppService through the Objective-C runtime, so this file
// stays C++. Null when the class is missing (before macOS 13).
id mainAppService() {
  Class serviceClass = objc_getClass("SMAppService");
  if (!serviceClass) return nullptr;
  return reinterpret_cast<id (*)(Class, SEL)>(objc_msgSend)(serviceClass, sel_registerName("mainAppService"));
}

long serviceStatus() {
  id service = mainAppService();
  if (!service) return 0;
  return reinterpret_cast<long (*)(id, SEL)>(objc_msgSend)(service, sel_registerName("status"));
}

void callService(const char* selector) {
  id service = mainAppService();
  if (!service) return;
  id error = nullptr;
  reinterpret_cast<BOOL (*)(id, SEL, id*)>(objc_msgSend)(service, sel_registerName(selector), &error);
}

// Not waited for; its standard error goes to a pipe nobody reads.
void bootstrapAgent(const fs::path& plist) {
  int errorPipe[2];
  if (::pipe(errorPipe) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, errorPipe[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, errorPipe[0]);
  std::string domain = "gui/" + std::to_string(::getuid());
  std::string path = plist.string();
  const char* argv[] = {"/bin/launchctl", "bootstrap", domain.c_str(), path.c_str(), nullptr};
  pid_t child = 0;
  ::posix_spawn(&child, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(errorPipe[1]);
  ::close(errorPipe[0]);
}

std::string runningProgram() {
  uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string path(size, '\0');
  if (_NSGetExecutablePath(path.data(), &size) != 0) return {};
  path.resize(std::char_traits<char>::length(path.c_str()));
  return path;
}

}  // namespace

bool isEnabled() {
  if (isBundled()) return serviceStatus() == 1;
  std::error_code error;
  return fs::exists(plistPath(), error);
}

void enable() {
  std::error_code error;
  if (isBundled()) {
    fs::remove(plistPath(), error);
    callService("registerAndReturnError:");
    return;
  }
  std::string text = launchAgentPlist(binaryPath());
  fs::create_directories(plistPath().parent_path(), error);
  if (PortCore::writeFileAtomically(plistPath().string(), text) == PortCore::FileWrite::Written)
    bootstrapAgent(plistPath());
}

void disable() {
  if (isBundled()) {
    callService("unregisterAndReturnError:");
    return;
  }
  std::error_code error;
  fs::remove(plistPath(), error);
}

std::string binaryPath() { return binaryPath(homeDirectory(), runningProgram()); }

}  // namespace LoginItem
