#include "ui/panel_rows.h"

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

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Bytes that are not UTF-8 are kept as they are: they still match themselves.
std::string folded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    bool whole = length > 0 && i + length <= text.size();
    for (size_t k = 1; whole && k < length; ++k) whole = (static_cast<unsigned char>(text[i + k]) >> 6) == 0x2;
    if (!whole) {
      out += text[i++];
      continue;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    appendUtf8(out, lowerOf(c));
    i += length;
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
    row.dockerName = found(inputs.dockerNames, e.port);
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
