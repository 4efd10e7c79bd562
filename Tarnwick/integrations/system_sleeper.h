#pragma once
// The notifier's sleep on the system clock (the one that counts suspend).
#include "integrations/port_notifier.h"

#include <memory>

/// A Sleeper whose deadlines are points of PortCore::systemClock(). On Linux
/// it sleeps in the kernel to the deadline itself, so a closed tray wakes once
/// per poll and, after a resume past the deadline, at once; elsewhere, and
/// when the kernel has no descriptors to spare, a ClockSleeper.
std::shared_ptr<Sleeper> makeSystemSleeper();
