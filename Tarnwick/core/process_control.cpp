// Placeholder until process control lands: nothing is signalled.
#include "core/process_control.h"

namespace PortCore {
const std::unordered_set<std::string>& devCommands() {
  static const std::unordered_set<std::string> names;
  return names;
}
std::string commandName(std::string_view) { return {}; }
int32_t topDevAncestor(int32_t leaf, const ProcessTable&) { return leaf; }
void killProcess(int32_t, Force) {}
void killTree(int32_t) {}
std::optional<std::string> commandLine(int32_t) { return std::nullopt; }
void restartTree(int32_t) {}
}  // namespace PortCore
