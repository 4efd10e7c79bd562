#pragma once
#include <string>
#include <string_view>

namespace PortCore {

/// The "name" string of `cwd`/package.json; otherwise (no file, not a regular
/// file, over 1 MiB, not JSON, no string "name") the last path component of `cwd`.
/// Reads at most 1 MiB and never blocks on a FIFO.
std::string projectName(std::string_view cwd);

}  // namespace PortCore
