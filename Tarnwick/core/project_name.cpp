#include "core/project_name.h"

#include "core/number.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace PortCore {

namespace {

// A project file is small; a larger one is not worth parsing on every refresh.
constexpr size_t maxPackageJson = 1 << 20;

// Closes a descriptor when the reader returns, whichever way it returns.
struct FileHandle {
  int fd;
  ~FileHandle() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

// Non-blocking open and the file-type test keep a FIFO or a device that
// someone named package.json from stalling the scan.
std::optional<std::string> readSmallFile(const std::string& path) {
  FileHandle file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (file.fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (info.st_size > static_cast<off_t>(maxPackageJson)) return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(info.st_size));
  char chunk[16384];
  for (;;) {
    ssize_t n = ::read(file.fd, chunk, sizeof chunk);
    if (n == 0) return bytes;
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    // The limit holds also for a file that grew after fstat.
    if (bytes.size() + static_cast<size_t>(n) > maxPackageJson) return std::nullopt;
    bytes.append(chunk, static_cast<size_t>(n));
  }
}

namespace {

// Only the top-level "name" matters; everything nested below the top level is
// dropped while parsing, so a deeply nested file costs memory in proportion to
// its depth and builds no tree.
std::optional<std::string> topLevelName(const std::string& text) {
  using Json = nlohmann::json;
  Json::parser_callback_t keepTopLevel = [](int depth, Json::parse_event_t event, Json&) {
    if (event == Json::parse_event_t::key) return depth == 1;
    if (event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start)
      return depth == 0;
    return true;
  };
  Json root = Json::parse(text, keepTopLevel, /*allow_exceptions=*/false);
  if (!root.is_object()) return std::nullopt;
  auto name = root.find("name");
  if (name == root.end() || !name->is_string()) return std::nullopt;
  return name->get<std::string>();
}

}  // namespace

std::string projectName(std::string_view cwd, const SmallFileReader& read) {
  std::string path(cwd);
  path += "/package.json";
  if (auto text = read(path))
    if (auto name = topLevelName(*text)) return *name;
  return std::string(lastPathComponent(cwd));
}

}  // namespace PortCore
