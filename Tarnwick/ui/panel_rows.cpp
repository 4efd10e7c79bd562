#include "ui/panel_rows.h"

#include "core/system/text.h"
#include "integrations/container_holder.h"
#include "ui/row_state.h"

#include <algorithm>
#include <string_view>

namespace {

// Lower case for the scripts names and labels are written in here: Latin,
// Greek, Cyrillic. The dotted capital I folds to a plain "i", so "izmir"
// finds "İZMİR" whichever way the user types it.
char32_t lowerOf(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
  if (c == 0x130) return U'i';
  if (c == 0x178) return 0xFF;
  bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
  bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1)) return c + 1;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  return c;
}

// Bytes that are not UTF-8 are kept as they are: they still match themselves.
std::string folded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    size_t length = PortCore::validUtf8Length(text);
    if (length == 0) {
      out += text.front();
      text.remove_prefix(1);
      continue;
    }
    PortCore::appendUtf8(out, lowerOf(PortCore::codePointOf(text, length)));
    text.remove_prefix(length);
  }
  return out;
}

bool contains(std::string_view text, std::string_view foldedQuery) {
  return folded(text).find(foldedQuery) != std::string::npos;
}

// The root of the chain is searched, not the names between: "zsh" finds what
// a terminal started, "npm" does not find everything npm ran.
bool matches(const PortEntry& e, const std::optional<std::string>& label, std::string_view query) {
  const std::string& root = e.parentChain.empty() ? e.command : e.parentChain.back();
  return std::to_string(e.port).find(query) != std::string::npos || contains(e.command, query) ||
         contains(root, query) || (e.project && contains(*e.project, query)) || (label && contains(*label, query));
}

template <typename Map, typename Key>
auto found(const Map& map, const Key& key) -> std::optional<typename Map::mapped_type> {
  auto it = map.find(key);
  if (it == map.end()) return std::nullopt;
  return it->second;
}

}  // namespace

PanelRows panelRows(const RowInputs& inputs) {
  PanelRows rows;
  const std::string query = folded(inputs.search);
  std::map<std::string, int> repeats;
  for (const PortEntry& e : inputs.entries) {
    const bool dev = isDevPort(e.port);
    ++(dev ? rows.summary.dev : rows.summary.other);
    if (e.isExposed()) ++rows.summary.exposed;

    if (inputs.hidden.contains(e.port)) continue;
    if (inputs.exposedOnly && !e.isExposed()) continue;
    std::optional<std::string> label = found(inputs.labels, std::to_string(e.port));
    if (!query.empty() && !matches(e, label, query)) continue;

    PanelRow row{.entry = e, .key = e.id(), .label = std::move(label)};
    if (int seen = repeats[row.key]++) row.key += "#" + std::to_string(seen);
    row.dockerName = Docker::containerHolding(e, inputs.dockerNames);
    if (dev) row.healthy = found(inputs.health, e.port);
    row.stat = found(inputs.stats, e.pid);
    (dev ? rows.dev : rows.other).push_back(std::move(row));
  }
  rows.emptyStateKey = !inputs.loaded ? "scanning" : inputs.entries.empty() ? "no_ports" : "no_match";
  return rows;
}

std::vector<PanelRow> PanelRows::ordered() const {
  std::vector<PanelRow> all = dev;
  all.insert(all.end(), other.begin(), other.end());
  return all;
}
