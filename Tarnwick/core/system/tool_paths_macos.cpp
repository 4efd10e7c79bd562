#include "core/system/tool_paths.h"

namespace ToolPaths {

const char* const lsof = "/usr/sbin/lsof";
const char* const ps = "/bin/ps";

}  // namespace ToolPaths
