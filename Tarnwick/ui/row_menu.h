#pragma once
// A row's context menu as values: groups of (text, action) items, which the
// row shows and the controller carries out.
#include "ui/row_state.h"

#include <string>
#include <vector>

enum class RowAction {
  OpenInBrowser,
  OpenInEditor,
  SetLabel,
  Watch,
  Unwatch,
  Hide,
  Stop,  ///< the process, or the row's container
  StopTree,
  ForceStop,
  Restart,
  CopyUrl,
  CopyPort,
  CopyPid,
  CopyKillCommand,
  CopyPath,
};

struct MenuItem {
  RowAction action;
  std::string key;       ///< the text's key
  std::string argument;  ///< what the text's one placeholder shows; empty when it has none
};

/// Shown with a separator between groups; no group is empty.
using RowMenu = std::vector<std::vector<MenuItem>>;

/// The menu of `row`. A container's row stops the container and has no
/// process items; a row without a folder has none to open or copy; the
/// editor's item waits until the editor's name is known.
RowMenu rowMenu(const RowState& row);
