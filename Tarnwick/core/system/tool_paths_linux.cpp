#include "core/system/tool_paths.h"

namespace ToolPaths {

const char* const lsof = "/usr/bin/lsof";
const char* const ps = "/usr/bin/ps";

}  // namespace ToolPaths
