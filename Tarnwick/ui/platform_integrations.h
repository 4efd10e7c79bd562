#pragma once
// What only the toolkit or the platform's frameworks can reach: on macOS the
// user's language list and the login-item service; on Linux the environment
// and the autostart entry serve.
#include <memory>
#include <string>
#include <vector>

class LoginService;

/// The user's languages, best first.
std::vector<std::string> platformLanguages();

/// The system's login-item service when the program runs from its bundle; null
/// elsewhere.
std::shared_ptr<LoginService> makePlatformLoginService();
