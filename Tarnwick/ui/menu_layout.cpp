#include "ui/menu_layout.h"

#include <utility>

namespace {

// Numbers entries by key: what an entry stands for, so that it keeps its number
// while the entries around it come and go.
class Numbering {
 public:
  explicit Numbering(const MenuIds& previous) : previous_(previous) { ids_.next = previous.next; }

  int idOf(std::string key) {
    // Two entries with one key would share a number; the second is told apart by its place.
    while (ids_.byKey.contains(key)) key += '+';
    const auto known = previous_.byKey.find(key);
    const int id = known != previous_.byKey.end() ? known->second : ids_.next++;
    ids_.byKey.emplace(std::move(key), id);
    return id;
  }

  MenuIds take() { return std::move(ids_); }

 private:
  const MenuIds& previous_;
  MenuIds ids_;
};

MenuEntry item(int id, const std::string& literal, MenuCommand command = {}) {
  return {.id = id, .label = menuActionText(literal, MenuExport::DBusMenu), .command = std::move(command)};
}

MenuEntry separator(Numbering& numbers, const std::string& key) {
  return {.id = numbers.idOf(key), .type = MenuEntry::Type::Separator};
}

MenuEntry portMenu(const TrayMenuItem& port, Numbering& numbers) {
  const std::string key = "port " + port.entry.id();
  MenuEntry menu = item(numbers.idOf(key), port.text);
  for (const std::vector<TrayAction>& group : port.groups) {
    if (!menu.children.empty()) menu.children.push_back(separator(numbers, key + " separator"));
    for (const TrayAction& action : group) {
      const std::string actionKey = key + " action " + std::to_string(static_cast<int>(action.action));
      MenuCommand command{MenuCommand::Kind::PortAction, port.entry, action.action, Confirmation::Ask};
      if (!action.confirmText) {
        menu.children.push_back(item(numbers.idOf(actionKey), action.text, command));
        continue;
      }
      MenuEntry confirm = item(numbers.idOf(actionKey), action.text);
      command.confirmation = Confirmation::Given;
      confirm.children.push_back(item(numbers.idOf(actionKey + " confirm"), *action.confirmText, command));
      menu.children.push_back(std::move(confirm));
    }
  }
  return menu;
}

void collectRelabelled(const std::map<int, const MenuEntry*>& before, const MenuEntry& entry, std::vector<int>& out) {
  if (const auto old = before.find(entry.id); old != before.end() && old->second->label != entry.label)
    out.push_back(entry.id);
  for (const MenuEntry& child : entry.children) collectRelabelled(before, child, out);
}

void index(const MenuEntry& entry, std::map<int, const MenuEntry*>& out) {
  out.emplace(entry.id, &entry);
  for (const MenuEntry& child : entry.children) index(child, out);
}

}  // namespace

MenuLayout menuLayout(const std::vector<TrayMenuItem>& items, const MenuIds& previous) {
  using Kind = TrayMenuItem::Kind;
  Numbering numbers(previous);
  MenuEntry root;
  for (const TrayMenuItem& entry : items) {
    switch (entry.kind) {
      case Kind::OpenPanel:
        root.children.push_back(item(numbers.idOf("open"), entry.text, {MenuCommand::Kind::OpenPanel}));
        root.children.push_back(separator(numbers, "after open"));
        break;
      case Kind::Port:
        root.children.push_back(portMenu(entry, numbers));
        break;
      case Kind::More:
        root.children.push_back(item(numbers.idOf("more"), entry.text, {MenuCommand::Kind::OpenPanel}));
        break;
      case Kind::Quit:
        root.children.push_back(separator(numbers, "before quit"));
        root.children.push_back(item(numbers.idOf("quit"), entry.text, {MenuCommand::Kind::Quit}));
        break;
    }
  }
  return {std::move(root), numbers.take()};
}

const MenuEntry* findEntry(const MenuEntry& root, int id) {
  if (root.id == id) return &root;
  for (const MenuEntry& child : root.children)
    if (const MenuEntry* found = findEntry(child, id)) return found;
  return nullptr;
}

std::vector<int> relabelled(const MenuEntry& before, const MenuEntry& after) {
  std::map<int, const MenuEntry*> old;
  index(before, old);
  std::vector<int> out;
  collectRelabelled(old, after, out);
  return out;
}
