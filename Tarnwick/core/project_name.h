#pragma once
#include <string>
#include <string_view>

namespace PortCore {

/// The "name" string of `cwd`/package.json; otherwise (no file, not JSON, no
/// string "name", a file over 1 MiB) the last path component of `cwd`.
std::string projectName(std::string_view cwd);

}  // namespace PortCore
