#include "ui/platform_integrations.h"

#include "integrations/language.h"
#include "integrations/login_item.h"

std::vector<std::string> platformLanguages() { return L10n::environmentLanguages(); }

std::shared_ptr<LoginService> makePlatformLoginService() { return nullptr; }
