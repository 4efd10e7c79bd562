#pragma once
// Programs on disk: where the running one lies (the Qt module, the resource
// bundle and the login item are found from it), whether a path is one, and
// where this platform keeps the system tools Tarnwick runs.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace PortCore {

/// The running executable's path, symbolic links resolved; empty when the
/// platform does not say.
std::string runningExecutablePath();

/// The directory of the running executable; empty when the platform does not say.
std::string executableDirectory();

/// The resources directory of the application bundle that holds
/// `executable`; absent when it lies in none (always, on Linux).
std::optional<std::filesystem::path> applicationResources(const std::filesystem::path& executable);

/// Whether `path` is a regular file that we may execute.
bool isExecutableFile(const std::string& path);

}  // namespace PortCore

namespace ToolPaths {

extern const char* const lsof;
extern const char* const ps;

/// Where the docker client may be, in the order tried.
std::vector<std::string> dockerCandidates();

}  // namespace ToolPaths
