#include "app/dispatch.h"

#include "app/modes.h"
#include "core/system/number.h"
#include "core/system/terminal_text.h"

#include <algorithm>
#include <optional>

namespace {

constexpr Mode kModes[] = {
    {"--list", OptionKind::Flag, runListMode, nullptr, "print every listening socket as one compact JSON array"},
    {"--kill", OptionKind::PortNumber, runKillMode, "PORT",
     "stop the processes listening on PORT (SIGTERM, then SIGKILL after about 2 s)"},
    {"--kill-tree", OptionKind::PortNumber, runKillTreeMode, "PORT",
     "stop the topmost development process (node, npm, ...) behind PORT"},
    {"--t", OptionKind::Text, runLocalisationCheck, "KEY", "print the localised text of KEY in every language"},
    {"--restart", OptionKind::PortNumber, runRestartMode, "PORT",
     "stop that development process tree and start its command again in its directory"},
    {"--docker", OptionKind::Flag, runDockerMode, nullptr, "print the host ports that running containers publish"},
    {"--probe", OptionKind::PortNumber, runProbeMode, "PORT",
     "print \"healthy\" when the loopback PORT answers HTTP, else \"no-http\""},
    {"--help", OptionKind::Flag, runHelpMode, nullptr, "print this list"},
    {"--version", OptionKind::Flag, runVersionMode, nullptr, "print the version"},
};

// The value that makes `mode` apply, or absent. Only the first occurrence of a
// valued option is looked at.
std::optional<ModeValue> valueFor(const Mode& mode, const std::vector<std::string>& args) {
  auto option = std::find(args.begin(), args.end(), mode.option);
  if (option == args.end()) return std::nullopt;
  if (mode.kind == OptionKind::Flag) return ModeValue{};
  auto value = std::next(option);
  if (value == args.end()) return std::nullopt;
  if (mode.kind == OptionKind::Text) return ModeValue{*value};
  if (auto port = PortCore::parseInt64(*value)) return ModeValue{*port};
  return std::nullopt;
}

// The value quoted as a terminal can show it on one line: the renderer makes
// every backslash a pair, so a quote inside can be marked as one.
std::string quoted(const std::string& value) {
  std::string text = "\"";
  for (char c : PortCore::terminalText(value)) {
    if (c == '"') text += '\\';
    text += c;
  }
  return text + "\"";
}

UsageError unusableValue(const Mode& mode, std::vector<std::string>::const_iterator value,
                         std::vector<std::string>::const_iterator end) {
  std::string message = std::string(mode.option) + " needs " +
                        (mode.kind == OptionKind::PortNumber ? "a port number" : "an argument");
  if (value != end) message += ", got " + quoted(*value);
  return {message};
}

}  // namespace

std::span<const Mode> commandLineModes() { return kModes; }

Choice selectMode(const std::vector<std::string>& args, std::span<const Mode> modes) {
  for (const auto& mode : modes)
    if (auto value = valueFor(mode, args)) return Selection{&mode, std::move(*value)};
  // No mode applied, so every valued option present has an unusable value;
  // the earliest one is what the user most likely meant.
  for (auto arg = args.begin(); arg != args.end(); ++arg)
    for (const auto& mode : modes)
      if (mode.kind != OptionKind::Flag && *arg == mode.option) return unusableValue(mode, std::next(arg), args.end());
  return StartApplication{};
}
