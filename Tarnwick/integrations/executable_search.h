#pragma once
// Finding a command the way a shell would, in a search path given as text.
#include <optional>
#include <string>
#include <string_view>

namespace Executables {

/// The process's PATH now; the usual system directories when it is unset.
std::string currentSearchPath();

/// The first executable regular file `name` in the ":"-separated `searchPath`;
/// absent when there is none. Empty entries and a `name` holding "/" never match.
std::optional<std::string> find(std::string_view name, std::string_view searchPath);

}  // namespace Executables
