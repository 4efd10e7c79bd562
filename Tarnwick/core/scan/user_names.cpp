#include "core/scan/user_names.h"

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

std::optional<std::string> lookUp(uint32_t uid) {
  long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 1024);
  for (;;) {
    passwd entry;
    passwd* found = nullptr;
    int rc = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found);
    if (rc == ERANGE && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (rc != 0 || !found || !found->pw_name) return std::nullopt;
    return std::string(found->pw_name);
  }
}

}  // namespace

std::optional<std::string> UserNames::name(uint32_t uid) {
  std::lock_guard lock(mutex_);
  auto known = names_.find(uid);
  if (known != names_.end()) return known->second;
  return names_[uid] = lookUp(uid);
}
