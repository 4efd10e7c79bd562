#include "core/system/mount_table.h"

namespace PortCore {

namespace {

bool holds(std::string_view mountPoint, std::string_view path) {
  if (mountPoint == "/") return path.starts_with('/');
  if (!path.starts_with(mountPoint)) return false;
  return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

}  // namespace

std::string fileSystemOf(const std::vector<Mount>& mounts, std::string_view path) {
  const Mount* best = nullptr;
  for (const auto& mount : mounts)
    if (holds(mount.mountPoint, path) && (!best || mount.mountPoint.size() >= best->mountPoint.size()))
      best = &mount;
  return best ? best->fileSystem : std::string();
}

}  // namespace PortCore
