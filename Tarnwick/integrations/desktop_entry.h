#pragma once
// Reading and writing freedesktop Desktop Entry files: the value escapes of the
// file format and the quoting of the Exec key.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace DesktopEntry {

/// The unlocalised `key` of the [Desktop Entry] group with the file's string
/// escapes (\s \n \t \r \\) undone; absent when the group or key is missing.
std::optional<std::string> value(std::string_view fileText, std::string_view key);

/// `text` with the file's string escapes applied, fit to stand after "Key=".
std::string escapeValue(std::string_view text);

/// One Exec argument: in double quotes, with " ` $ \ escaped by a backslash and
/// % doubled. Apply escapeValue() to the whole Exec value after this.
std::string quoteExecArgument(std::string_view argument);

/// The program and arguments of an Exec value (string escapes already undone).
/// The file field codes %f %F %u %U become `target` (appended when there is
/// none), other field codes are dropped, %% is %. Empty when the quoting is broken.
std::vector<std::string> execCommand(std::string_view exec, const std::string& target);

}  // namespace DesktopEntry
