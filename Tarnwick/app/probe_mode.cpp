#include "app/modes.h"

int runProbeMode(const ModeValue&) { return reportNotBuilt("--probe"); }
