// Placeholder until start at login lands.
#include "integrations/login_item.h"

namespace LoginItem {
bool isEnabled() { return false; }
void enable() {}
void disable() {}
std::string binaryPath() { return {}; }
}  // namespace LoginItem
