#pragma once
// Parsers of lsof's field output (-F): one field per line, the first character
// the field letter, the rest its value; a "p" line starts a new process.
#include "core/port_entry.h"
#include "core/process_table.h"

#include <string_view>
#include <unordered_map>
#include <vector>

using CwdMap = std::unordered_map<int32_t, std::string>;

namespace PortCore {

/// Entries of the full socket run, one per PID and port (the first address
/// lsof printed), sorted by port then PID, with cwd and project absent.
std::vector<PortEntry> parseLsof(std::string_view lsofOutput, const ProcessTable& table);

/// PID to working directory from a `-d cwd -F pn` run; a later "n" line wins.
CwdMap cwdMap(std::string_view lsofOutput);

/// Distinct port numbers of the "n" lines of a `-F n` run, in no order.
std::vector<int64_t> parsePortNumbers(std::string_view lsofOutput);

}  // namespace PortCore
