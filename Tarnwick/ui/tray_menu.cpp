#include "ui/tray_menu.h"

#include "ui/panel_rows.h"
#include "ui/port_presentation.h"

#include <algorithm>
#include <utility>

namespace {

bool isStop(RowAction action) {
  using enum RowAction;
  return action == Stop || action == StopTree || action == ForceStop || action == Restart;
}

std::string itemText(const L10n::Texts& texts, const MenuItem& item) {
  return item.argument.empty() ? texts.text(item.key) : texts.format(item.key, {item.argument});
}

TrayMenuItem portItem(const L10n::Texts& texts, const TrayMenuInputs& inputs, const PanelRow& row) {
  RowState state;
  state.entry = row.entry;
  state.label = row.label;
  state.dockerName = row.dockerName;
  state.isWatched = inputs.watched.contains(row.entry.port);
  state.editorName = inputs.editorName;

  const std::string port = std::to_string(row.entry.port);
  const std::string detail = subtitle(texts, row.entry, row.dockerName);
  TrayMenuItem item{.kind = TrayMenuItem::Kind::Port,
                    .text = port + " \u00B7 " + (row.label ? *row.label + " (" + detail + ")" : detail),
                    .entry = row.entry};
  // The same rule as the panel's stop: a system process is always confirmed.
  const bool confirm = inputs.confirmBeforeKill || row.entry.isSystem();
  for (const std::vector<MenuItem>& group : rowMenu(state)) {
    std::vector<TrayAction> actions;
    // The label editor lives in the panel: a menu has no field to type in.
    for (const MenuItem& menuItem : group) {
      if (menuItem.action == RowAction::SetLabel) continue;
      TrayAction action{menuItem.action, itemText(texts, menuItem), std::nullopt};
      if (confirm && isStop(menuItem.action))
        action.confirmText = texts.format("tray_confirm", {action.text, row.entry.port});
      actions.push_back(std::move(action));
    }
    if (!actions.empty()) item.groups.push_back(std::move(actions));
  }
  return item;
}

// One process on one port over IPv4 and IPv6 is two rows in the panel but
// one thing to act on.
std::vector<PanelRow> oncePerProcess(std::vector<PanelRow> rows) {
  std::vector<PanelRow> once;
  for (PanelRow& row : rows)
    if (std::none_of(once.begin(), once.end(), [&](const PanelRow& r) { return r.entry.id() == row.entry.id(); }))
      once.push_back(std::move(row));
  return once;
}

}  // namespace

std::vector<TrayMenuItem> trayMenu(const L10n::Texts& texts, const TrayMenuInputs& inputs) {
  using Kind = TrayMenuItem::Kind;
  PanelRows rows = panelRows({.entries = inputs.entries,
                              .loaded = true,
                              .hidden = inputs.hidden,
                              .labels = inputs.labels,
                              .dockerNames = inputs.dockerNames});
  std::vector<TrayMenuItem> menu{{.kind = Kind::OpenPanel, .text = texts.text("tray_open")}};
  const std::vector<PanelRow> dev = oncePerProcess(std::move(rows.dev));
  for (size_t i = 0; i < dev.size() && i < kTrayDevPorts; ++i) menu.push_back(portItem(texts, inputs, dev[i]));
  if (dev.size() > kTrayDevPorts)
    menu.push_back({.kind = Kind::More,
                    .text = texts.format("tray_more", {static_cast<int64_t>(dev.size() - kTrayDevPorts)})});
  const std::vector<PanelRow> other = oncePerProcess(std::move(rows.other));
  for (size_t i = 0; i < other.size() && i < kTrayOtherPorts; ++i)
    menu.push_back(portItem(texts, inputs, other[i]));
  menu.push_back({.kind = Kind::Quit, .text = texts.text("tray_quit")});
  return menu;
}

std::string menuActionText(const std::string& literal, MenuExport how) {
  const char mark = how == MenuExport::Drawn ? '&' : '_';
  std::string out;
  // A doubled mark reads as the character itself.
  for (char c : literal) {
    out += c;
    if (c == mark) out += c;
  }
  return out;
}
