#include "core/process/process_signals.h"

// No process descriptors here: the start time stands in for one.
std::unique_ptr<PinnedProcess> RealProcessSignals::pin(const ProcessIdentity& target) {
  return PortCore::pinByStartTime(target);
}
