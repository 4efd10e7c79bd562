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

TEST(PortPresentation, ConfirmationTextAndStopTooltip) {
  struct Case {
    const char* user;
    std::optional<std::string> docker;
    bool tree, force, restart;
    std::string confirm;
    std::string tooltip;
  };
  const std::string db = "db";
  const std::string dockerConfirm = englishTexts().format("confirm_docker", {db});
  const std::string dockerTooltip = englishTexts().format("help_docker_stop", {db});
  const Case cases[] = {
      {"root", db, true, false, true, englishTexts().text("confirm_sys"), englishTexts().text("help_sys")},
      {"alice", db, true, false, true, dockerConfirm, dockerTooltip},
      {"alice", std::nullopt, true, false, true, englishTexts().text("confirm_restart"),
       englishTexts().text("help_kill")},
      {"alice", std::nullopt, true, false, false, englishTexts().text("confirm_tree"),
       englishTexts().text("help_kill")},
      {"alice", std::nullopt, false, true, false, englishTexts().text("confirm_force"),
       englishTexts().text("help_kill")},
      {"alice", std::nullopt, false, false, false, englishTexts().text("confirm_kill"),
       englishTexts().text("help_kill")},
  };
  for (const Case& c : cases) {
    RowState row;
    row.entry = makeEntry(3000, 1, "node", "*", c.user);
    row.dockerName = c.docker;
    row.isConfirming = true;
    row.confirmingTree = c.tree;
    row.confirmingForce = c.force;
    row.confirmingRestart = c.restart;
    EXPECT_EQ(confirmText(englishTexts(), row), c.confirm) << c.user << c.tree << c.force << c.restart;
    EXPECT_EQ(stopButtonTooltip(englishTexts(), row), c.tooltip) << c.user << c.tree << c.force << c.restart;
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
