#include "core/process/restart_log.h"

#include "core/process/restart_plan.h"
#include "core/system/bounded_call.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace PortCore {

namespace {

// Each missing folder on the way is made 0700: the log holds whatever the
// server prints, which may be private. A folder already there is left as it is.
bool makeFolders(const std::string& path) {
  for (auto slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    auto part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

}  // namespace

std::optional<std::string> restartLogPath(int64_t port, const char* stateHome, const char* home) {
  std::string state;
  if (stateHome && stateHome[0] == '/')
    state = stateHome;
  else if (home && home[0] == '/')
    state = std::string(home) + "/.local/state";
  else
    return std::nullopt;
  return state + "/tarnwick/restart-" + std::to_string(port) + ".log";
}

std::optional<std::string> prepareRestartLog(int64_t port) {
  auto path = restartLogPath(port, std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
  if (!path) return std::nullopt;
  // A home on a mount that stopped answering must not hold up the restart.
  if (!callWithin(kFileCheckLimit, [folder = folderOf(*path)] { return makeFolders(folder); }).value_or(false))
    return std::nullopt;
  return path;
}

}  // namespace PortCore
