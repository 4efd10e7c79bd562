#pragma once
// Start at login: an XDG autostart entry on Linux, a launch agent on macOS.
#include <string>

namespace LoginItem {

bool isEnabled();
void enable();
void disable();
/// The program to start at login.
std::string binaryPath();

}  // namespace LoginItem
