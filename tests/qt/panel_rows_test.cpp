// What the panel lists: one row per rule over one scan, the function alone, no
// display, no model.
#include "panel_fakes.h"
#include "ui/panel_rows.h"

namespace {

// Out of port order, with both edges of the dev range and one socket on two addresses.
std::vector<PortEntry> scan() {
  PortEntry web = makeEntry(3000, 0, "node");
  web.parentChain = {"npm", "zsh"};
  web.project = "web";
  PortEntry web6 = web;
  web6.address = "[::1]";
  return {web, makeEntry(10000, 0, "redis"), web6, makeEntry(1024, 0, "vite"), makeEntry(1023, 0, "cupsd"),
          makeEntry(8030, 0, "python3", "*"), makeEntry(5000, 0, "svc30"),
          makeEntry(5432, 0, "postgres", "0.0.0.0", "_postgres"), makeEntry(80, 0, "nginx", "[::]", "root"),
          makeEntry(7000, 0, "İZMİR"), makeEntry(9999, 0, "ruby")};
}

// Ports in order, a repeat's "#n" kept: "3000 3000#1 1024".
std::string listed(const std::vector<PanelRow>& rows) {
  std::string text;
  for (const PanelRow& row : rows) {
    const std::string repeat = row.key.substr(std::min(row.key.find('#'), row.key.size()));
    text += (text.empty() ? "" : " ") + std::to_string(row.entry.port) + repeat;
  }
  return text;
}

struct Case {
  const char* rule;
  std::string search;
  bool exposedOnly;
  std::set<int64_t> hidden;
  std::string dev, other;  // the rows of each section
  bool loaded = true, emptyScan = false;
  std::string emptyKey = "no_match";
};

TEST(PanelRows, EachRuleOverOneScan) {
  const std::string allDev = "3000 3000#1 1024 8030 5000 5432 7000 9999";
  const Case cases[] = {
      {"dev range first, each section in scan order", "", false, {}, allDev, "10000 1023 80"},
      {"hidden ports removed", "", false, {3000, 80, 1}, "1024 8030 5000 5432 7000 9999", "10000 1023"},
      {"exposed only", "", true, {}, "8030 5432", "80"},
      {"exposed, less the hidden", "", true, {8030}, "5432", "80"},
      {"port digits and command", "30", false, {}, "3000 3000#1 8030 5000", ""},
      {"root of the parent chain", "zsh", false, {}, "3000 3000#1", ""},
      {"not the names between", "npm", false, {}, "", ""},
      {"project", "Web", false, {}, "3000 3000#1", ""},
      {"label beyond ASCII", "ÖDEME", false, {}, "5000", ""},
      {"dotted capital I typed as i", "izmir", false, {}, "7000", ""},
      {"search within the exposed", "o", true, {}, "8030 5432", ""},
      {"not scanned yet", "", false, {}, "", "", false, true, "scanning"},
      {"scan found nothing", "zzz", false, {}, "", "", true, true, "no_ports"},
  };
  const SummaryCounts wholeScan{8, 3, 3};
  for (const Case& c : cases) {
    const PanelRows rows = panelRows({.entries = c.emptyScan ? std::vector<PortEntry>{} : scan(), .loaded = c.loaded,
                                      .search = c.search, .exposedOnly = c.exposedOnly, .hidden = c.hidden,
                                      .labels = {{"5000", "ödeme"}}});
    EXPECT_EQ(listed(rows.dev), c.dev) << c.rule;
    EXPECT_EQ(listed(rows.other), c.other) << c.rule;
    EXPECT_EQ(rows.summary, c.emptyScan ? SummaryCounts{} : wholeScan) << c.rule;
    EXPECT_EQ(rows.emptyStateKey, c.emptyKey) << c.rule;
  }
}

}  // namespace
