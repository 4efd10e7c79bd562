#pragma once
// How an entry reads in the panel: its subtitle, the confirmation line, the
// stop button's tooltip, the statistics and the process-chain tooltip.
// Localised texts are looked up on every call, so a language change shows at
// the next redraw.
#include "core/records/port_entry.h"
#include "core/stats/stats.h"
#include "integrations/l10n.h"
#include "ui/row_state.h"

#include <optional>
#include <string>

/// With a container: "docker_container" with its name, nothing else. Otherwise
/// the command, or "started_by" (command, topmost ancestor) when that differs,
/// preceded by "project · " when the entry has a project.
std::string subtitle(const L10n::Texts& texts, const PortEntry& entry, const std::optional<std::string>& dockerName);

/// The line shown while a stop of the row waits for confirmation; a system
/// process gets its warning whatever the request or container.
std::string confirmText(const L10n::Texts& texts, const RowState& row);

/// The stop button's tooltip: the system warning, the container it would stop,
/// or the plain stop help.
std::string stopButtonTooltip(const L10n::Texts& texts, const RowState& row);

/// "%13 · 512 MB": CPU rounded half away from zero, then the memory.
std::string statsText(const ProcessStat& stat);

/// "node ← npm ← zsh" then, on a second line, "pid 4242 · alice".
std::string processTooltip(const PortEntry& entry);
