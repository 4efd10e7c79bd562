// How entries read: subtitle, confirmation line, stop tooltip, statistics and
// the system-process test. Expected texts go through the same localisation.
#include "integrations/l10n.h"
#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/port_presentation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

PortEntry entryWith(std::vector<std::string> chain, std::optional<std::string> project,
                    std::string command = "node") {
  PortEntry e = makeEntry(3000, 4242, std::move(command));
  e.parentChain = std::move(chain);
  if (project) {
    e.cwd = "/work/" + *project;
    e.project = project;
  }
  return e;
}

TEST(PortPresentation, Subtitle) {
  const std::string dot = " \u00B7 ";
  struct Case {
    const char* name;
    PortEntry entry;
    std::optional<std::string> docker;
    std::string expected;
  };
  const Case cases[] = {
      {"no chain", entryWith({}, std::nullopt), std::nullopt, "node"},
      {"no chain, project", entryWith({}, "shop"), std::nullopt, "shop" + dot + "node"},
      {"top ancestor is the command", entryWith({"zsh", "node"}, std::nullopt), std::nullopt,
       "node"},
      {"started from a terminal", entryWith({"npm", "zsh", "login", "Terminal"}, std::nullopt),
       std::nullopt, englishTexts().format("started_by", {std::string("node"), std::string("Terminal")})},
      {"started, with project", entryWith({"npm"}, "shop"), std::nullopt,
       "shop" + dot + englishTexts().format("started_by", {std::string("node"), std::string("npm")})},
      {"docker hides project and command", entryWith({"npm"}, "shop"), "shop-db",
       englishTexts().format("docker_container", {std::string("shop-db")})},
  };
  for (const Case& c : cases) EXPECT_EQ(subtitle(englishTexts(), c.entry, c.docker), c.expected) << c.name;
}

// A system process gets its warning whatever the request or container.
TEST(PortPresentation, ConfirmationTextAndStopTooltip) {
  struct Case {
    const char* user;
    bool docker, tree, force, restart;
    const char* confirm;
    const char* tooltip;
  };
  const Case cases[] = {
      {"root", true, true, false, true, "confirm_sys", "help_sys"},
      {"alice", true, true, false, true, "confirm_docker", "help_docker_stop"},
      {"alice", false, true, false, true, "confirm_restart", "help_kill"},
      {"alice", false, true, false, false, "confirm_tree", "help_kill"},
      {"alice", false, false, true, false, "confirm_force", "help_kill"},
      {"alice", false, false, false, false, "confirm_kill", "help_kill"},
  };
  // The container's name fills the texts that have a place for it.
  const auto shown = [](const char* key) { return englishTexts().format(key, {std::string("db")}); };
  for (const Case& c : cases) {
    const RowState row{.entry = makeEntry(3000, 1, "node", "*", c.user),
                       .isConfirming = true,
                       .confirmingTree = c.tree,
                       .confirmingForce = c.force,
                       .confirmingRestart = c.restart,
                       .dockerName = c.docker ? std::optional<std::string>("db") : std::nullopt};
    EXPECT_EQ(confirmText(englishTexts(), row), shown(c.confirm)) << c.confirm;
    EXPECT_EQ(stopButtonTooltip(englishTexts(), row), shown(c.tooltip)) << c.confirm;
  }
}

TEST(PortPresentation, StatisticsRoundHalvesAwayFromZero) {
  const std::pair<double, std::string> cases[] = {
      {12.5, "%13"}, {12.49, "%12"}, {0, "%0"}, {-0.5, "%-1"}, {NAN, "%\u2013"},
  };
  for (const auto& [cpu, shown] : cases)
    EXPECT_EQ(statsText({cpu, 2048}), shown + " \u00B7 " + PortCore::formatMem(2048)) << cpu;
}

}  // namespace
