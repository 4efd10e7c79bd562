#pragma once
// Waiting for a port to be held again (after a restart, after a stop): who
// holds it, seen through a scan source, by a deadline.
#include "core/scan/processes.h"
#include "core/system/clock.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ScanSource;
struct ScanSnapshot;

/// A process listening on a port.
struct PortHolder {
  ProcessIdentity identity;  ///< start time 0 when the source does not know it
  std::string name;          ///< its command name as the system has it; empty when unknown
  bool operator==(const PortHolder&) const = default;
};

namespace PortCore {

/// Time between two looks of a watch: short beside a server's start-up, long
/// beside one look.
constexpr std::chrono::milliseconds kPortWatchInterval{250};

/// Processes that do not count as holding the port again: those that held it
/// before (a stopped server whose child has not quite gone yet).
using FormerHolders = std::vector<ProcessIdentity>;

/// The first holder of a listening socket on `port` in `snapshot` that is not
/// one of `former`; absent when none.
std::optional<PortHolder> holderOf(int64_t port, const ScanSnapshot& snapshot, const FormerHolders& former = {});

/// One look at `source`: the holder of `port` now, or absent. The processes
/// are read only once the port is seen listening.
std::optional<PortHolder> lookForHolder(int64_t port, ScanSource& source, const FormerHolders& former = {});

/// Returns at the given time on the watch's clock (or soon after).
using SleepUntil = std::function<void(Clock::Duration)>;

/// Looks at `source` every kPortWatchInterval until `port` is held, the last
/// look at `deadline` on `clock`: the holder, or absent when none came.
std::optional<PortHolder> waitForHolder(int64_t port, Clock::Duration deadline, ScanSource& source,
                                        const Clock& clock, const SleepUntil& sleepUntil,
                                        const FormerHolders& former = {});

/// The same within `limit` from now on the system clock, sleeping this thread.
std::optional<PortHolder> waitForHolder(int64_t port, std::chrono::milliseconds limit, ScanSource& source,
                                        const FormerHolders& former = {});

}  // namespace PortCore
