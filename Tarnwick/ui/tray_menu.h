#pragma once
// The tray item's own menu as values: the one menu every tray host shows, so
// it carries the ports too, for hosts that open it on a plain click. A pure
// function of the scan and the stores, like the panel's rows.
#include "core/records/port_entry.h"
#include "integrations/docker.h"
#include "integrations/l10n.h"
#include "integrations/port_labels.h"
#include "ui/row_menu.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct TrayMenuInputs {
  std::vector<PortEntry> entries{};  ///< the whole scan, in scan order
  std::set<int64_t> hidden{};
  LabelMap labels{};                 ///< by port in decimal
  ContainerMap dockerNames{};
  std::set<int64_t> watched{};
  bool confirmBeforeKill = true;
  std::optional<std::string> editorName{};
};

/// One of a port's actions. A stop that wants confirmation opens a submenu
/// holding the confirming item alone: a click closes a host's whole menu, so
/// a confirmation cannot wait in the same menu.
struct TrayAction {
  RowAction action;
  std::string text;                        ///< literal
  std::optional<std::string> confirmText;  ///< "Stop 3000 — confirm"; absent: acts at once

  bool operator==(const TrayAction&) const = default;
};

struct TrayMenuItem {
  enum class Kind { OpenPanel, Port, More, Quit };
  Kind kind;
  std::string text;  ///< literal: other processes' names as they are
  PortEntry entry{};                          ///< Port only
  std::vector<std::vector<TrayAction>> groups{};  ///< Port only: shown with separators between

  bool operator==(const TrayMenuItem&) const = default;
};

/// Dev ports shown before the "more" item, and other ports shown at all.
inline constexpr size_t kTrayDevPorts = 20;
inline constexpr size_t kTrayOtherPorts = 10;

/// "Open Tarnwick"; the dev ports not hidden, at most kTrayDevPorts, then a
/// "N more… — Open Tarnwick" item for the rest; at most kTrayOtherPorts other
/// ports; "Quit". A port reads "3000 · label (subtitle)", or "3000 · subtitle"
/// without a label; its submenu is its row's menu without the label editor.
std::vector<TrayMenuItem> trayMenu(const L10n::Texts& texts, const TrayMenuInputs& inputs);

/// How a menu's text reaches the user.
enum class MenuExport {
  Drawn,   ///< Qt draws the menu: "&" marks a shortcut
  DBusMenu ///< a host draws it from com.canonical.dbusmenu: "_" marks a shortcut
};

/// The text to give a QAction, or an exported entry's label, so that `literal` reads as it is.
std::string menuActionText(const std::string& literal, MenuExport how);
