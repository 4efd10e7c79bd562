#pragma once
// Reading a whole file that is known to be small: a project's package.json, a
// desktop entry, a strings table.
#include <cstddef>
#include <optional>
#include <string>

namespace PortCore {

/// The most any of these reads takes: anything larger is not worth parsing.
inline constexpr size_t kSmallFileLimit = 1 << 20;

/// Everything left to read from `fd`; absent when a read fails or more than
/// `limit` bytes come.
std::optional<std::string> readToEnd(int fd, size_t limit);

/// The whole of `path` when it is a regular file (links followed) of at most
/// kSmallFileLimit bytes; absent otherwise. Nothing but a regular file is ever
/// opened for reading, so a FIFO or a device named like a project file is
/// neither waited on nor woken.
std::optional<std::string> readSmallFile(const std::string& path);

}  // namespace PortCore
