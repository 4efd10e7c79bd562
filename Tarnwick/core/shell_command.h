#pragma once
// Turning a process's argument vector back into text that a POSIX shell reads
// as the same arguments.
#include <optional>
#include <string>
#include <string_view>

namespace PortCore {

/// `arg` as one shell word: unchanged when no shell gives any of its characters
/// a meaning, otherwise in single quotes ('' for the empty argument).
std::string shellQuote(std::string_view arg);

/// The raw content of /proc/PID/cmdline (arguments ended by NUL bytes) as a
/// command for `sh -c`, each argument quoted. A process that rewrote its title
/// into one string holding spaces ("npm run dev", NUL-padded) is returned as
/// that string, for the shell to split. Absent when there is no argument.
std::optional<std::string> shellCommandFromCmdline(std::string_view raw);

}  // namespace PortCore
