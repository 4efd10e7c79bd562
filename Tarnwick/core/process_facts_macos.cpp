#include "core/process_facts.h"

#include "core/number.h"
#include "core/text.h"
#include "core/tool_paths.h"
#include "core/tool_runner.h"

#include <unistd.h>

namespace {

// ps prints the arguments joined by single spaces, so arguments that held
// spaces are split again by the shell that restarts them.
class PsFacts final : public ProcessFacts {
 public:
  std::optional<std::string> commandLine(int32_t pid) override {
    auto text = PortCore::trimWhitespace(column("command=", pid));
    if (text.empty()) return std::nullopt;
    return std::string(text);
  }

  std::optional<uint32_t> owner(int32_t pid) override {
    auto uid = PortCore::parseInt64(PortCore::trimWhitespace(column("uid=", pid)));
    if (!uid || *uid < 0) return std::nullopt;
    return static_cast<uint32_t>(*uid);
  }

  uint32_t currentUser() override { return ::getuid(); }

 private:
  static std::string column(const char* format, int32_t pid) {
    return PortCore::runTool(ToolPaths::ps, {"-o", format, "-p", std::to_string(pid)});
  }
};

}  // namespace

namespace PortCore {

ProcessFacts& systemProcessFacts() {
  static PsFacts facts;
  return facts;
}

}  // namespace PortCore
