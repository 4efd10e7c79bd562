#include "app/modes.h"

int runKillMode(const ModeValue&) { return reportNotBuilt("--kill"); }
int runKillTreeMode(const ModeValue&) { return reportNotBuilt("--kill-tree"); }
int runRestartMode(const ModeValue&) { return reportNotBuilt("--restart"); }
