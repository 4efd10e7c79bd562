#include "core/system/mount_table.h"

#include "core/system/text.h"

namespace PortCore {

namespace {

// The kernel writes space, tab, newline and backslash in a path as \ooo.
std::string unescapeOctal(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    auto isOctal = [&](size_t at) { return at < field.size() && field[at] >= '0' && field[at] <= '7'; };
    if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
      int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      if (value < 256) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool holds(std::string_view mountPoint, std::string_view path) {
  if (mountPoint == "/") return path.starts_with('/');
  if (!path.starts_with(mountPoint)) return false;
  return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

}  // namespace

std::vector<Mount> parseMountInfo(std::string_view text) {
  // "36 35 98:0 /root /mount/point options ... - type source options"
  std::vector<Mount> mounts;
  for (auto line : splitNonEmpty(text, '\n')) {
    auto fields = splitNonEmpty(line, ' ');
    if (fields.size() < 5 || fields[2].find(':') == std::string_view::npos || !fields[4].starts_with('/')) continue;
    mounts.push_back({unescapeOctal(fields[4]), std::string(fields[2])});
  }
  return mounts;
}

std::string fileSystemOf(const std::vector<Mount>& mounts, std::string_view path) {
  const Mount* best = nullptr;
  for (const auto& mount : mounts)
    if (holds(mount.mountPoint, path) && (!best || mount.mountPoint.size() >= best->mountPoint.size()))
      best = &mount;
  return best ? best->fileSystem : std::string();
}

}  // namespace PortCore
