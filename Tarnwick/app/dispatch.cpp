#include "app/dispatch.h"

#include "app/modes.h"
#include "core/number.h"

#include <algorithm>

namespace {

constexpr Mode kModes[] = {
    {"--list", OptionKind::Flag, runListMode},
    {"--kill", OptionKind::PortNumber, runKillMode},
    {"--kill-tree", OptionKind::PortNumber, runKillTreeMode},
    {"--t", OptionKind::Text, runLocalisationCheck},
    {"--restart", OptionKind::PortNumber, runRestartMode},
    {"--docker", OptionKind::Flag, runDockerMode},
    {"--probe", OptionKind::PortNumber, runProbeMode},
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

}  // namespace

std::span<const Mode> commandLineModes() { return kModes; }

std::optional<Selection> selectMode(const std::vector<std::string>& args,
                                    std::span<const Mode> modes) {
  for (const auto& mode : modes)
    if (auto value = valueFor(mode, args)) return Selection{&mode, std::move(*value)};
  return std::nullopt;
}
