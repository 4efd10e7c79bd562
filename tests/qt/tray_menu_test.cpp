// The item's menu over one scan: one row per rule, read as the user reads it.
#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/tray_menu.h"

namespace {

// The top level, one line per item.
std::vector<std::string> topLevel(const std::vector<TrayMenuItem>& menu) {
  std::vector<std::string> lines;
  for (const TrayMenuItem& item : menu) lines.push_back(item.text);
  return lines;
}

// The first port's submenu: groups split by " | ", a confirmed item as "Stop > Stop 3000 — confirm".
std::string firstPortMenu(const std::vector<TrayMenuItem>& menu) {
  for (const TrayMenuItem& item : menu) {
    if (item.kind != TrayMenuItem::Kind::Port) continue;
    std::string text;
    for (const std::vector<TrayAction>& group : item.groups) {
      text += text.empty() ? "" : " | ";
      for (size_t i = 0; i < group.size(); ++i)
        text += (i ? ", " : "") + group[i].text + (group[i].confirmText ? " > " + *group[i].confirmText : "");
    }
    return text;
  }
  return "";
}

const std::string kCopy = "Copy URL, Copy Port, Copy PID, Copy Kill Command";
const std::string kConfirmedStops =
    "Stop > Stop 3000 — confirm, Restart > Restart 3000 — confirm, "
    "Stop Process Tree > Stop Process Tree 3000 — confirm, Force Kill > Force Kill 3000 — confirm";

struct Case {
  const char* rule;
  TrayMenuInputs inputs;
  std::vector<std::string> top;
  std::string firstPort = "";  // not checked when empty
};

TEST(TrayMenu, EachRuleOverOneScan) {
  PortEntry node6 = makeEntry(3000);
  node6.address = "[::1]";
  PortEntry myApp = makeEntry(3000, 0, "my_app");
  myApp.cwd = "/home/alice/shop";
  myApp.project = "shop";
  const Case cases[] = {
      {"open, dev ports, other ports, quit; one item for a process on two addresses",
       {.entries = {makeEntry(10000, 0, "redis"), makeEntry(3000), makeEntry(80, 0, "nginx", "[::]", "root"), node6}},
       {"Open Tarnwick", "3000 · node", "10000 · redis", "80 · nginx", "Quit"}},
      {"nothing listening but a hidden port", {.entries = {makeEntry(3000)}, .hidden = {3000}},
       {"Open Tarnwick", "Quit"}},
      {"a label, with the subtitle beside it; other processes' text kept literal",
       {.entries = {myApp, makeEntry(4000, 0, "R&D")},
        .labels = {{"3000", "__main__ & co"}},
        .confirmBeforeKill = false,
        .editorName = "A&B Edit"},
       {"Open Tarnwick", "3000 · __main__ & co (shop · my_app)", "4000 · R&D", "Quit"},
       "Open in Browser, Open in A&B Edit | Watch, Hide Port | Stop, Restart, Stop Process Tree, Force Kill | " + kCopy +
           ", Copy Project Path"},
      {"a system process is confirmed even when the setting says not",
       {.entries = {makeEntry(3000, 0, "node", "127.0.0.1", "root")}, .watched = {3000}, .confirmBeforeKill = false},
       {"Open Tarnwick", "3000 · node", "Quit"},
       "Open in Browser | Stop Watching, Hide Port | " + kConfirmedStops + " | " + kCopy},
      {"a container's port stops the container",
       {.entries = {makeEntry(3000, 0, "docker-proxy", "0.0.0.0")}, .dockerNames = {{3000, {{"0.0.0.0", "shop-web"}}}}},
       {"Open Tarnwick", "3000 · container shop-web", "Quit"},
       "Open in Browser | Watch, Hide Port | Stop container shop-web > Stop container shop-web 3000 — confirm | " + kCopy},
  };
  for (const Case& c : cases) {
    const std::vector<TrayMenuItem> menu = trayMenu(englishTexts(), c.inputs);
    EXPECT_EQ(topLevel(menu), c.top) << c.rule;
    if (!c.firstPort.empty()) {
      EXPECT_EQ(firstPortMenu(menu), c.firstPort) << c.rule;
    }
  }
}

// What a QAction or an exported entry is given so that the user reads the
// text as it is, by the way the menu reaches the screen.
TEST(TrayMenu, ActionTextsReadLiterallyDrawnOrExported) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // literal, drawn by Qt, exported over D-Bus
      {"__main__", "__main__", "____main____"},
      {"a&b&c_d", "a&&b&&c_d", "a&b&c__d"},
  };
  for (const auto& [literal, drawn, exported] : cases) {
    EXPECT_EQ(menuActionText(literal, MenuExport::Drawn), drawn) << literal;
    EXPECT_EQ(menuActionText(literal, MenuExport::DBusMenu), exported) << literal;
  }
}

}  // namespace
