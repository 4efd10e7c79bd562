// The item's menu as numbered entries: a host keeps the numbers between two
// readings, so an entry keeps its own while the menu around it changes.
#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/menu_layout.h"

#include <gtest/gtest.h>

namespace {

// Each entry's label (a separator as "-") by its number, depth first.
std::map<int, std::string> numbered(const MenuEntry& entry, std::map<int, std::string> out = {}) {
  if (entry.id != 0) out[entry.id] = entry.type == MenuEntry::Type::Separator ? "-" : entry.label;
  for (const MenuEntry& child : entry.children) out = numbered(child, std::move(out));
  return out;
}

int idOf(const MenuEntry& root, const std::string& label) {
  for (const auto& [id, text] : numbered(root))
    if (text == label) return id;
  return 0;
}

TEST(MenuLayout, AnEntryKeepsItsNumberWhileItStaysAndANumberIsNeverGivenTwice) {
  const PortEntry a = makeEntry(3000), b = makeEntry(4000), c = makeEntry(5000);
  struct Row {
    const char* change;
    std::vector<PortEntry> before, after;
  };
  const Row rows[] = {
      {"a port comes before the others", {b, c}, {a, b, c}},
      {"a port before the others goes", {a, b, c}, {b, c}},
      {"a port's process is replaced on the same port", {a, b}, {makeEntry(3000, 777), b}},
      {"nothing listens any more", {a, b}, {}},
  };
  for (const Row& row : rows) {
    const MenuLayout before = menuLayout(trayMenu(englishTexts(), {.entries = row.before}), {});
    const MenuLayout after = menuLayout(trayMenu(englishTexts(), {.entries = row.after}), before.ids);
    const auto was = numbered(before.root), is = numbered(after.root);
    for (const auto& [id, label] : is) {
      const auto old = was.find(id);
      // A number seen before stands for the same entry; one that was gone is never given to another.
      if (old != was.end()) {
        EXPECT_EQ(old->second, label) << row.change;
      } else {
        EXPECT_GE(id, before.ids.next) << row.change << ": " << label;
      }
    }
    for (const char* kept : {"Open Tarnwick", "Quit", "4000 · node", "Stop 4000 — confirm"})
      if (idOf(before.root, kept) && idOf(after.root, kept)) {
        EXPECT_EQ(idOf(before.root, kept), idOf(after.root, kept)) << row.change << ": " << kept;
      }
  }
}

}  // namespace
