#pragma once
// Process names as the tools print them. A name is whatever bytes a program
// put in its comm, so each tool escapes what would break its output.
#include <string>
#include <string_view>

namespace PortCore {

/// As lsof prints a command or a file name: \b \f \n \r \t and "\\" as backslash escapes, other
/// control characters as ^X, DEL and bytes that are not valid UTF-8 as \xNN.
std::string lsofText(std::string_view name);

/// As procps ps prints a command: in a valid UTF-8 name every control
/// character becomes "?"; in a name that is not valid UTF-8 control
/// characters become "." and bytes from 0x80 up "?".
std::string psText(std::string_view name);

}  // namespace PortCore
