#pragma once
// What only the toolkit or the platform's frameworks can reach, handed to the
// toolkit-free code at start-up: on macOS the user's language list and the
// login-item service; on Linux nothing, as the environment and the autostart
// entry serve.
#include <memory>

class LoginService;

void installPlatformIntegrations();

/// The system's login-item service when the program runs from its bundle; null
/// elsewhere.
std::shared_ptr<LoginService> makePlatformLoginService();
