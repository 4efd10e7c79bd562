#pragma once
// Programs on disk: where the running one lies (the Qt module, the resource
// bundle and the login item are found from it), and whether a path is one.
#include <string>

namespace PortCore {

/// The running executable's path, symbolic links resolved; empty when the
/// platform does not say.
std::string runningExecutablePath();

/// Whether `path` is a regular file that we may execute.
bool isExecutableFile(const std::string& path);

}  // namespace PortCore
