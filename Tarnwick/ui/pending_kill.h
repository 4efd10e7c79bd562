#pragma once
// A stop, tree stop, force kill or restart waiting for the user's confirmation.
#include "core/scan/processes.h"
#include "core/records/port_entry.h"

#include <optional>

/// Built with its fields named: `{.entry = e, .identity = id, .tree = true}`.
struct PendingKill {
  PortEntry entry;  ///< the row as it was when the request was made
  /// The process the row showed then; absent when it had gone by the scan's end.
  std::optional<ProcessIdentity> identity{};
  bool tree = false;
  bool force = false;
  bool restart = false;

  bool operator==(const PendingKill&) const = default;
};
