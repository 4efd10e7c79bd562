#pragma once
// What "--list" prints.
#include "core/records/port_entry.h"

#include <string>
#include <vector>

/// The entries as one compact JSON array followed by a line feed: "[]\n" when
/// nothing listens.
std::string listLine(const std::vector<PortEntry>& entries);
