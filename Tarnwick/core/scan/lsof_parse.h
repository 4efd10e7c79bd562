#pragma once
// Parsers of lsof's field output (-F): one field per line, the first character
// the field letter, the rest its value; a "p" line starts a new process.
#include "core/records/port_entry.h"
#include "core/scan/scan_source.h"

#include <string_view>
#include <vector>

namespace PortCore {

/// The listeners and their holders' records (parent, command, owner) of a
/// `-F pcRuLPn` run, names as lsof escaped them, with the rows of `table`
/// added for the ancestors; no directories.
ScanSnapshot parseLsofSockets(std::string_view lsofOutput, const ProcessTable& table = {});

/// Entries of the full socket run joined with `table` (a holder's own fields
/// from lsof, its ancestors from the table), as joinScan gives them.
std::vector<PortEntry> parseLsof(std::string_view lsofOutput, const ProcessTable& table);

/// PID to working directory from a `-d cwd -F pn` run; a later "n" line wins.
CwdMap cwdMap(std::string_view lsofOutput);

/// Distinct port numbers of the "n" lines of a `-F n` run, in no order.
std::vector<int64_t> parsePortNumbers(std::string_view lsofOutput);

}  // namespace PortCore
