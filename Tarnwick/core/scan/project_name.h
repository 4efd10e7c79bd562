#pragma once
#include "core/system/small_file.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace PortCore {

/// Reads a whole small file: the real file system, or a fixture in tests.
using SmallFileReader = std::function<std::optional<std::string>(const std::string& path)>;

/// The project file of the folder `cwd`.
std::string packageJsonPath(std::string_view cwd);

/// The "name" string of `packageJson`, the content of `cwd`'s project file;
/// otherwise (absent, not JSON, no string "name") the last path component of `cwd`.
std::string projectName(std::string_view cwd, const std::optional<std::string>& packageJson);

/// The "name" string of `cwd`/package.json; otherwise (no file, not a regular
/// file, over 1 MiB, not JSON, no string "name") the last path component of `cwd`.
std::string projectName(std::string_view cwd, const SmallFileReader& read = readSmallFile);

}  // namespace PortCore
