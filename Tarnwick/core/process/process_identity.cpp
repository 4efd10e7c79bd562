#include "core/process/process_identity.h"

namespace PortCore {

std::optional<ProcessIdentity> identityOf(int32_t pid, const StartTimes& times) {
  auto found = times.find(pid);
  if (found == times.end()) return std::nullopt;
  return ProcessIdentity{pid, found->second};
}

}  // namespace PortCore
