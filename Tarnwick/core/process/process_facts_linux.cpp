#include "core/process/process_facts_linux.h"

#include "core/system/number.h"
#include "core/system/proc_files.h"
#include "core/system/text.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::vector<std::string_view> splitAtNul(std::string_view raw) {
  std::vector<std::string_view> parts;
  while (!raw.empty()) {
    auto end = raw.find('\0');
    parts.push_back(raw.substr(0, end));
    raw.remove_prefix(end == std::string_view::npos ? raw.size() : end + 1);
  }
  return parts;
}

std::optional<std::array<uint32_t, 4>> fourIds(std::string_view values) {
  auto words = PortCore::splitNonEmpty(PortCore::trim(values, " \t"), '\t');
  if (words.size() != 4) return std::nullopt;
  std::array<uint32_t, 4> ids{};
  for (size_t i = 0; i < 4; ++i) {
    auto id = PortCore::parseInt64(PortCore::trimWhitespace(words[i]));
    if (!id || *id < 0 || *id > UINT32_MAX) return std::nullopt;
    ids[i] = static_cast<uint32_t>(*id);
  }
  return ids;
}

std::optional<std::string> searchPathOf(std::string_view environ) {
  for (auto entry : splitAtNul(environ))
    if (entry.substr(0, 5) == "PATH=") return std::string(entry.substr(5));
  return std::nullopt;
}

// The link of a deleted directory reads "PATH (deleted)", and a directory
// since replaced by another of the same name is not where the process was:
// only a path that names the very directory the process holds will do.
std::optional<std::string> liveDirectory(const ProcRoot& root, const std::string& processDir) {
  std::string link = processDir + "/cwd";
  auto path = root.readLink(link);
  struct stat held{}, named{};
  if (path.empty() || path.front() != '/' || ::fstatat(root.fd(), link.c_str(), &held, 0) != 0 ||
      ::stat(path.c_str(), &named) != 0)
    return std::nullopt;
  if (!S_ISDIR(named.st_mode) || held.st_dev != named.st_dev || held.st_ino != named.st_ino)
    return std::nullopt;
  return path;
}

}  // namespace

namespace PortCore {

std::vector<std::string> cmdlineArguments(std::string_view raw) {
  auto firstEnd = raw.find('\0');
  if (firstEnd != std::string_view::npos && raw.find_first_not_of('\0', firstEnd) == std::string_view::npos)
    raw = raw.substr(0, firstEnd);
  else if (!raw.empty() && raw.back() == '\0')
    raw.remove_suffix(1);
  std::vector<std::string> arguments;
  if (raw.empty()) return arguments;
  for (auto part : splitAtNul(raw)) arguments.emplace_back(part);
  // The last argument's terminator was dropped above; an empty final part is
  // an empty argument only when it was really there.
  if (raw.back() == '\0') arguments.emplace_back();
  return arguments;
}

std::optional<Credentials> parseStatusCredentials(std::string_view status) {
  std::optional<std::array<uint32_t, 4>> users, groups;
  for (auto line : splitLines(status)) {
    if (line.substr(0, 4) == "Uid:") users = fourIds(line.substr(4));
    if (line.substr(0, 4) == "Gid:") groups = fourIds(line.substr(4));
  }
  if (!users || !groups) return std::nullopt;
  return Credentials{*users, *groups};
}

}  // namespace PortCore

ProcProcessFacts::ProcProcessFacts(const std::string& root) : root_(root) {}

RestartFacts ProcProcessFacts::restartFacts(int32_t pid) {
  std::string dir = std::to_string(pid);
  auto read = [&](const char* name) { return root_.read(dir + "/" + name); };
  RestartFacts facts;
  facts.arguments = PortCore::cmdlineArguments(read("cmdline"));
  facts.directory = liveDirectory(root_, dir);
  facts.searchPath = searchPathOf(read("environ"));
  facts.credentials = PortCore::parseStatusCredentials(read("status"));
  return facts;
}

std::optional<Credentials> ProcProcessFacts::ownCredentials() {
  return PortCore::parseStatusCredentials(root_.read("self/status"));
}

namespace PortCore {

ProcessFacts& systemProcessFacts() {
  static ProcProcessFacts facts("/proc");
  return facts;
}

}  // namespace PortCore
