#include "ui/port_presentation.h"

#include "integrations/l10n.h"

#include <cmath>

std::string subtitle(const L10n::Texts& texts, const PortEntry& entry, const std::optional<std::string>& dockerName) {
  if (dockerName) return texts.format("docker_container", {*dockerName});
  const std::string& root = entry.parentChain.empty() ? entry.command : entry.parentChain.back();
  std::string base = root == entry.command
                         ? entry.command
                         : texts.format("started_by", {entry.command, root});
  if (entry.project) return *entry.project + " \u00B7 " + base;
  return base;
}

std::string confirmText(const L10n::Texts& texts, const RowState& row) {
  if (row.entry.isSystem()) return texts.text("confirm_sys");
  if (row.dockerName) return texts.format("confirm_docker", {*row.dockerName});
  if (row.confirmingRestart) return texts.text("confirm_restart");
  if (row.confirmingTree) return texts.text("confirm_tree");
  if (row.confirmingForce) return texts.text("confirm_force");
  return texts.text("confirm_kill");
}

std::string stopButtonTooltip(const L10n::Texts& texts, const RowState& row) {
  if (row.entry.isSystem()) return texts.text("help_sys");
  if (row.dockerName) return texts.format("help_docker_stop", {*row.dockerName});
  return texts.text("help_kill");
}

std::string statsText(const ProcessStat& stat) {
  // ps never prints a non-finite figure, but a dash beats an undefined rounding.
  std::string cpu = std::isfinite(stat.cpu) ? std::to_string(std::llround(stat.cpu)) : "\u2013";
  return "%" + cpu + " \u00B7 " + PortCore::formatMem(stat.memMB);
}

std::string processTooltip(const PortEntry& entry) {
  std::string chain = entry.command;
  for (const std::string& name : entry.parentChain) chain += " \u2190 " + name;
  return chain + "\npid " + std::to_string(entry.pid) + " \u00B7 " + entry.user;
}
