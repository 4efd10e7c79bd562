#pragma once
// What the panel hands one row: everything the row draws, computed by the model.
#include "core/records/port_entry.h"
#include "core/stats/stats.h"
#include "integrations/dev_count.h"
#include "integrations/text_format.h"

#include <optional>
#include <string>
#include <vector>

struct RowState {
  PortEntry entry;
  bool isSelected = false;
  bool isConfirming = false;
  bool confirmingTree = false;
  bool confirmingForce = false;
  bool confirmingRestart = false;
  std::optional<std::string> label{};
  std::optional<std::string> dockerName{};
  std::optional<bool> healthy{};  ///< dev ports only; absent until probed
  bool isWatched = false;
  bool isEditingLabel = false;
  std::optional<ProcessStat> stat{};
  /// The key of a refusal or failure of the last action on the row, shown
  /// for a few seconds in place of the subtitle.
  std::optional<std::string> notice{};
  /// The values the notice's text is formatted with.
  std::vector<FormatArg> noticeArguments{};
  /// The editor a folder opens in, once found; the menu offers it then.
  std::optional<std::string> editorName{};

  bool operator==(const RowState&) const = default;
};

/// Ports 1024 to 9999: the first section, the probed ports, the menu-bar count.
constexpr bool isDevPort(int64_t port) { return port >= DevCount::kFirst && port <= DevCount::kLast; }
