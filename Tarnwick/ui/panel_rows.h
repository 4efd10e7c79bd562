#pragma once
// What the panel lists, as a pure function of the scan and what was learnt
// about it: no Qt, no state, so the rules are tested as one table.
#include "core/records/port_entry.h"
#include "core/stats/stats.h"
#include "integrations/docker.h"
#include "integrations/port_labels.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct RowInputs {
  std::vector<PortEntry> entries{};  ///< the whole scan, in scan order
  bool loaded = false;               ///< a scan has arrived
  std::string search{};              ///< UTF-8, matched ignoring case
  bool exposedOnly = false;
  std::set<int64_t> hidden{};
  LabelMap labels{};                 ///< by port in decimal
  ContainerMap dockerNames{};        ///< a row gets one by Docker::containerHolding
  StatsMap stats{};
  std::map<int64_t, bool> health{};  ///< probe answers by port
};

/// One listed socket and the facts its row shows.
struct PanelRow {
  PortEntry entry{};
  /// Unique among the rows: the entry's id, with "#n" added for the n-th
  /// repeat (one process listening on the same port on two addresses).
  std::string key{};
  std::optional<std::string> label{};
  std::optional<std::string> dockerName{};
  std::optional<bool> healthy{};  ///< dev ports only; absent until probed
  std::optional<ProcessStat> stat{};

  bool operator==(const PanelRow&) const = default;
};

/// Counts over the whole scan, whatever is hidden or filtered.
struct SummaryCounts {
  int dev = 0;
  int other = 0;
  int exposed = 0;

  bool operator==(const SummaryCounts&) const = default;
};

struct PanelRows {
  std::vector<PanelRow> dev;    ///< dev ports, in scan order
  std::vector<PanelRow> other;  ///< the rest, in scan order
  SummaryCounts summary;
  /// The key of the message shown when no row is listed: "scanning" before
  /// the first scan, "no_ports" when it found none, "no_match" when
  /// everything found is hidden or filtered out.
  std::string emptyStateKey;

  /// dev then other: the order rows are shown and walked.
  std::vector<PanelRow> ordered() const;
};

/// The rows the panel lists: hidden ports dropped, narrowed to exposed sockets
/// when asked, then to those whose port, command, root command, project or
/// label contains the search, ignoring case.
PanelRows panelRows(const RowInputs& inputs);
