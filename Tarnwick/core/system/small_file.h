#pragma once
// Reading a whole file that is known to be small: a project's package.json, a
// desktop entry, a strings table, a /proc file.
#include <cstddef>
#include <optional>
#include <string>

namespace PortCore {

/// Everything left to read from `fd`; absent when a read fails or more than
/// `limit` bytes come.
std::optional<std::string> readToEnd(int fd, size_t limit);

/// The whole of `path` when it is a regular file of at most 1 MiB; absent
/// otherwise. Never blocks on a FIFO.
std::optional<std::string> readSmallFile(const std::string& path);

}  // namespace PortCore
