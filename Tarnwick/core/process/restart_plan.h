#pragma once
// The whole relaunch of a process, decided before anything is killed: whether
// we may, what runs, where, and which program.
#include "core/process/detached_launch.h"
#include "core/process/process_facts.h"
#include "core/records/action_outcome.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ToolRunner;

struct RestartPlan {
  ActionOutcome refusal = ActionOutcome::Done;  ///< Done when `command` can run
  DetachedCommand command;
  bool ready() const { return refusal == ActionOutcome::Done; }
};

namespace PortCore {

/// How long one look at the file system (a folder, a program) may take before
/// the restart is refused: a mount that stopped answering must not hang it.
constexpr std::chrono::milliseconds kFileCheckLimit{1000};

/// The arguments that start the process again: `arguments` themselves, or a
/// rewritten title (one argument holding a space) split at blanks when its
/// first word is a package runner (npm, npx, pnpm, yarn, bun, deno, turbo) and
/// nothing in it means anything to a shell. Absent for any other title.
std::optional<std::vector<std::string>> runnableArguments(const std::vector<std::string>& arguments);

/// The relaunch of the process described by `facts` through `shell`, or the
/// reason there is none. Only a process whose user IDs all equal ours (ours
/// being equal too) and whose group IDs equal each other is ours to restart.
/// A program named with a "/" is taken relative to the working directory; a
/// bare name is looked up on the process's own PATH, then with `command -v`
/// in `shell` run through `tools`. Every file-system look is bounded by
/// kFileCheckLimit; one that does not answer counts as not found.
RestartPlan planRestart(const RestartFacts& facts, const std::optional<Credentials>& ours,
                        const std::string& shell, ToolRunner& tools);

}  // namespace PortCore
