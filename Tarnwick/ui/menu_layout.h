#pragma once
// The item's menu as a tray host reads it over D-Bus: a tree of numbered
// entries built from the menu as values (trayMenu()). An entry keeps its
// number while it stays in the menu, since a host keeps the numbers it was
// given between two readings of the layout. Knows no widgets and no bus.
#include "core/records/port_entry.h"
#include "ui/panel_controller.h"
#include "ui/tray_menu.h"

#include <map>
#include <string>
#include <vector>

/// What a click on an entry asks for.
struct MenuCommand {
  enum class Kind { None, OpenPanel, Quit, PortAction };
  Kind kind = Kind::None;
  PortEntry entry{};  ///< PortAction only
  RowAction action = RowAction::Stop;
  Confirmation confirmation = Confirmation::Ask;

  bool operator==(const MenuCommand&) const = default;
};

struct MenuEntry {
  enum class Type { Item, Separator };
  int id = 0;  ///< 0 is the root
  Type type = Type::Item;
  std::string label{};  ///< as the host is given it: "_" doubled, so that none marks a key
  MenuCommand command{};  ///< Kind::None for the root, a submenu and a separator
  std::vector<MenuEntry> children{};

  bool operator==(const MenuEntry&) const = default;
};

/// The numbers given out, by what each entry stands for, and the next free one.
/// A number is never given to another entry, even after its own left the menu.
struct MenuIds {
  std::map<std::string, int> byKey{};
  int next = 1;
};

struct MenuLayout {
  MenuEntry root{};
  MenuIds ids{};  ///< the numbers of this layout's entries alone
};

/// The layout of `items`, each entry numbered as in `previous` when it was
/// there, else with a new number.
MenuLayout menuLayout(const std::vector<TrayMenuItem>& items, const MenuIds& previous);

/// The entry numbered `id` in `root`; null when there is none.
const MenuEntry* findEntry(const MenuEntry& root, int id);

/// The entries of `after` whose label differs from the same entry's in `before`.
/// A host reads an entry it knows only when told it changed.
std::vector<int> relabelled(const MenuEntry& before, const MenuEntry& after);
