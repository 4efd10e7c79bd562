#include "integrations/port_notifier.h"

#include "core/system/clock.h"

std::shared_ptr<Sleeper> makeSystemSleeper() { return std::make_shared<ClockSleeper>(PortCore::systemClock()); }
