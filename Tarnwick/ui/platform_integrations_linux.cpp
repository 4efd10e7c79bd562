#include "ui/platform_integrations.h"

#include "integrations/login_service.h"

void installPlatformIntegrations() {}

std::shared_ptr<LoginService> makePlatformLoginService() { return nullptr; }
