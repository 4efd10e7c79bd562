#include "app/modes.h"

int runDockerMode(const ModeValue&) { return reportNotBuilt("--docker"); }
