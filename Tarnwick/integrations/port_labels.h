#pragma once
// User labels per port, kept in the preferences store under "portLabels".
#include <cstdint>
#include <map>
#include <optional>
#include <string>

class Preferences;

using LabelMap = std::map<std::string, std::string>;

namespace PortLabels {

/// Port number text to label; empty when nothing (valid) is stored.
LabelMap all(const Preferences& preferences);

/// Sets the label of `port`, trimmed of spaces and tabs; a blank or absent label removes it.
void set(Preferences& preferences, const std::optional<std::string>& label, int64_t port);

}  // namespace PortLabels
