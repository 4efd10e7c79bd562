#pragma once
// The files that start the program at login, as text.
#include <string>
#include <string_view>

namespace LoginItem {

/// The XDG autostart entry that runs `binaryPath` with no arguments.
std::string desktopEntryText(std::string_view binaryPath);

/// The launch-agent property list that runs `binaryPath` at load, with the
/// path's XML special characters escaped.
std::string launchAgentPlist(std::string_view binaryPath);

/// `text` with & < > " ' as XML entities.
std::string escapeXml(std::string_view text);

}  // namespace LoginItem
