#pragma once
// A stop, tree stop, force kill or restart waiting for the user's confirmation.
#include "core/port_entry.h"

struct PendingKill {
  PortEntry entry;  ///< the row as it was when the request was made
  bool tree = false;
  bool force = false;
  bool restart = false;

  bool operator==(const PendingKill&) const = default;
};
