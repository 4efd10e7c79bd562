#include "app/modes.h"

int runApplication(int, char**) { return reportNotBuilt("the tray application"); }
