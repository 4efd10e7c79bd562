#pragma once
// The tray application lives in a shared library of its own, so that the
// command-line modes start without loading Qt.
#include <string>
#include <vector>

/// Where the Qt module may lie, in the order tried: beside the executable (the
/// build tree), then in `<exe dir>/../lib/tarnwick/` (an installed tree).
std::vector<std::string> qtModuleCandidates(const std::string& executableDirectory);

/// The directory of the running executable (symbolic links resolved); empty
/// when the platform does not say.
std::string executableDirectory();
