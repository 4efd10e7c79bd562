#include "core/process/process_facts.h"

#include <libproc.h>
#include <sys/proc_info.h>
#include <sys/stat.h>
#include <sys/sysctl.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

namespace {

// KERN_PROCARGS2: argc (an int), the executable's path, NUL padding, then argc
// arguments and the environment, each ended by a NUL.
void readProcessArguments(int32_t pid, RestartFacts& facts) {
  int request[3] = {CTL_KERN, KERN_PROCARGS2, pid};
  size_t size = 0;
  if (::sysctl(request, 3, nullptr, &size, nullptr, 0) != 0 || size < sizeof(int)) return;
  std::string buffer(size, '\0');
  if (::sysctl(request, 3, buffer.data(), &size, nullptr, 0) != 0 || size < sizeof(int)) return;
  buffer.resize(size);
  int argc = 0;
  std::memcpy(&argc, buffer.data(), sizeof argc);
  std::string_view rest(buffer);
  rest.remove_prefix(sizeof argc);
  auto pathEnd = rest.find('\0');
  if (pathEnd == std::string_view::npos) return;
  rest.remove_prefix(pathEnd);
  auto firstArgument = rest.find_first_not_of('\0');
  if (firstArgument == std::string_view::npos) return;
  rest.remove_prefix(firstArgument);
  std::vector<std::string> strings;
  while (!rest.empty()) {
    auto end = rest.find('\0');
    if (end == std::string_view::npos) break;
    strings.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end + 1);
    // The environment ends at the first empty string.
    if (static_cast<int>(strings.size()) > argc && strings.back().empty()) break;
  }
  if (argc <= 0 || static_cast<int>(strings.size()) < argc) return;
  facts.arguments.assign(strings.begin(), strings.begin() + argc);
  for (size_t i = static_cast<size_t>(argc); i < strings.size(); ++i)
    if (strings[i].rfind("PATH=", 0) == 0) facts.searchPath = strings[i].substr(5);
}

// A deleted or replaced directory no longer matches the vnode the process holds.
std::optional<std::string> liveDirectory(int32_t pid) {
  struct proc_vnodepathinfo info{};
  if (::proc_pidinfo(pid, PROC_PIDVNODEPATHINFO, 0, &info, sizeof info) != static_cast<int>(sizeof info))
    return std::nullopt;
  std::string path(info.pvi_cdir.vip_path);
  const auto& held = info.pvi_cdir.vip_vi.vi_stat;
  struct stat named{};
  if (path.empty() || path.front() != '/' || ::stat(path.c_str(), &named) != 0 || !S_ISDIR(named.st_mode) ||
      static_cast<uint64_t>(named.st_dev) != static_cast<uint64_t>(held.vst_dev) ||
      static_cast<uint64_t>(named.st_ino) != static_cast<uint64_t>(held.vst_ino))
    return std::nullopt;
  return path;
}

std::optional<Credentials> credentialsOf(int32_t pid) {
  struct proc_bsdinfo info{};
  if (::proc_pidinfo(pid, PROC_PIDTBSDINFO, 0, &info, sizeof info) != static_cast<int>(sizeof info))
    return std::nullopt;
  return Credentials{{info.pbi_ruid, info.pbi_uid, info.pbi_svuid, info.pbi_uid},
                     {info.pbi_rgid, info.pbi_gid, info.pbi_svgid, info.pbi_gid}};
}

class LibprocProcessFacts final : public ProcessFacts {
 public:
  RestartFacts restartFacts(int32_t pid) override {
    RestartFacts facts;
    readProcessArguments(pid, facts);
    facts.directory = liveDirectory(pid);
    facts.credentials = credentialsOf(pid);
    return facts;
  }

  std::optional<Credentials> ownCredentials() override { return credentialsOf(::getpid()); }
};

}  // namespace

namespace PortCore {

ProcessFacts& systemProcessFacts() {
  static LibprocProcessFacts facts;
  return facts;
}

}  // namespace PortCore
