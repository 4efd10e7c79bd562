#include "core/system/mount_table.h"

#include "core/system/proc_files.h"
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

std::vector<Mount> readMountTable() {
  // Thousands of container mounts stay well under this.
  constexpr size_t limit = 16 << 20;
  return parseMountInfo(systemProcRoot().read("self/mountinfo", limit));
}

}  // namespace PortCore
