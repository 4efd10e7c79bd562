#include "app/modes.h"

int runLocalisationCheck(const ModeValue&) { return reportNotBuilt("--t"); }
