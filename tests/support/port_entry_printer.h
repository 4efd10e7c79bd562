#pragma once
// Lets GoogleTest print a PortEntry as its JSON line instead of raw bytes.
#include "core/records/port_entry.h"

#include <ostream>

inline void PrintTo(const PortEntry& entry, std::ostream* out) { *out << encodeJson(entry); }
