#include "core/process_identity.h"

namespace PortCore {

std::optional<ProcessIdentity> identityOf(int32_t pid, const StartTimes& times) {
  auto found = times.find(pid);
  if (found == times.end()) return std::nullopt;
  return ProcessIdentity{pid, found->second};
}

StartTimes startTimes(const std::vector<int32_t>& pids) {
  StartTimes times;
  for (int32_t pid : pids)
    if (auto start = processStartTime(pid)) times[pid] = *start;
  return times;
}

}  // namespace PortCore
