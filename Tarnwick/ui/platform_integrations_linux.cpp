#include "ui/platform_integrations.h"

void installPlatformIntegrations() {}
