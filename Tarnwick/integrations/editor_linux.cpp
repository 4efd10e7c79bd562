// Placeholder until the editor launcher lands.
#include "integrations/editor.h"

namespace Editor {
std::optional<std::string> appName() { return std::nullopt; }
std::string fallbackName() { return "Files"; }
void open(const std::string&) {}
}  // namespace Editor
