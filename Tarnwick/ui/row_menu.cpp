#include "ui/row_menu.h"

RowMenu rowMenu(const RowState& row) {
  using enum RowAction;
  const bool folder = row.entry.cwd.has_value();
  std::vector<MenuItem> open{{OpenInBrowser, "open_in_browser", ""}};
  if (folder && row.editorName) open.push_back({OpenInEditor, "open_in_editor", *row.editorName});

  std::vector<MenuItem> mark{{SetLabel, "set_label", ""},
                             row.isWatched ? MenuItem{Unwatch, "unwatch", ""} : MenuItem{Watch, "watch", ""},
                             {Hide, "hide_port", ""}};

  std::vector<MenuItem> stop;
  if (row.dockerName) {
    stop = {{Stop, "help_docker_stop", *row.dockerName}};
  } else {
    stop = {{Stop, "stop", ""},
            {Restart, "restart", ""},
            {StopTree, "kill_tree", ""},
            {ForceStop, "force_kill", ""}};
  }

  std::vector<MenuItem> copy{{CopyUrl, "copy_url", ""},
                             {CopyPort, "copy_port", ""},
                             {CopyPid, "copy_pid", ""},
                             {CopyKillCommand, "copy_kill", ""}};
  if (folder) copy.push_back({CopyPath, "copy_path", ""});
  return {open, mark, stop, copy};
}
