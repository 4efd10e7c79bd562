#pragma once
// Where this platform keeps the system tools the core runs.

namespace ToolPaths {

extern const char* const lsof;
extern const char* const ps;

}  // namespace ToolPaths
