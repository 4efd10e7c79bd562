#include "core/process/restart_plan.h"

#include "core/process/restart_shell.h"
#include "core/system/bounded_call.h"
#include "core/system/program_paths.h"
#include "core/system/text.h"
#include "core/system/tool_runner.h"

#include <algorithm>

namespace PortCore {

namespace {

constexpr std::string_view kShellMetacharacters = "()[]*?;&|<>$'\"`\\";

bool isPackageRunner(std::string_view name) {
  static constexpr std::string_view runners[] = {"npm", "npx", "pnpm", "yarn", "bun", "deno", "turbo"};
  return std::find(std::begin(runners), std::end(runners), name) != std::end(runners);
}

bool allEqual(const std::array<uint32_t, 4>& ids) {
  return std::all_of(ids.begin(), ids.end(), [&](uint32_t id) { return id == ids.front(); });
}

// A process running with anyone else's rights (another user, or a setuid or
// setgid program started by one) would run their choice of program as us.
bool ourOwn(const std::optional<Credentials>& process, const std::optional<Credentials>& ours) {
  return process && ours && allEqual(ours->users) && process->users == ours->users && allEqual(process->groups);
}

std::string under(const std::string& directory, std::string_view path) {
  if (!path.empty() && path.front() == '/') return std::string(path);
  return directory + "/" + std::string(path);
}

std::optional<std::string> onSearchPath(const std::string& name, const std::string& searchPath,
                                        const std::string& directory) {
  std::string_view rest = searchPath;
  for (;;) {
    auto colon = rest.find(':');
    auto entry = rest.substr(0, colon);
    // An empty entry means the working directory, as in a shell.
    auto candidate = under(directory, entry.empty() ? std::string_view(".") : entry) + "/" + name;
    if (isExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(colon + 1);
  }
}

// The program's own path or its process's PATH, both on file systems that may
// have stopped answering: the whole search is given up at once when they do.
std::optional<std::string> localProgram(const std::string& name, const RestartFacts& facts,
                                        const std::string& directory) {
  if (name.find('/') != std::string::npos) {
    auto path = under(directory, name);
    return isExecutableFile(path) ? std::optional(path) : std::nullopt;
  }
  if (facts.searchPath) return onSearchPath(name, *facts.searchPath, directory);
  return std::nullopt;
}

bool executableWithin(const std::string& path) {
  return callWithin(kFileCheckLimit, [path] { return isExecutableFile(path); }).value_or(false);
}

std::optional<std::string> resolveProgram(const std::string& name, const RestartFacts& facts,
                                          const std::string& directory, const std::string& shell,
                                          ToolRunner& tools) {
  if (name.empty()) return std::nullopt;
  auto local = callWithin(kFileCheckLimit, [name, facts, directory] { return localProgram(name, facts, directory); });
  if (!local) return std::nullopt;
  if (*local || name.find('/') != std::string::npos) return *local;
  // The tool runner bounds the shell's own search.
  auto found = std::string(trimWhitespace(tools.run(shell, {"-lc", "command -v \"$1\"", "tarnwick", name})));
  if (found.empty() || found.front() != '/' || !executableWithin(found)) return std::nullopt;
  return found;
}

}  // namespace

std::optional<std::vector<std::string>> runnableArguments(const std::vector<std::string>& arguments) {
  if (arguments.size() != 1 || arguments.front().find(' ') == std::string::npos) return arguments;
  const auto& title = arguments.front();
  if (title.find_first_of(kShellMetacharacters) != std::string::npos) return std::nullopt;
  auto words = splitNonEmpty(title, ' ');
  std::vector<std::string> split;
  for (auto word : words)
    for (auto piece : splitNonEmpty(word, '\t')) split.emplace_back(piece);
  if (split.empty() || !isPackageRunner(split.front())) return std::nullopt;
  return split;
}

RestartPlan planRestart(const RestartFacts& facts, const std::optional<Credentials>& ours,
                        const std::string& shell, ToolRunner& tools) {
  if (!ourOwn(facts.credentials, ours)) return {ActionOutcome::RestartForeign, {}};
  if (facts.arguments.empty()) return {ActionOutcome::RestartNoCommand, {}};
  auto arguments = runnableArguments(facts.arguments);
  if (!arguments) return {ActionOutcome::RestartRetitled, {}};
  if (!facts.directory) return {ActionOutcome::RestartNoDirectory, {}};
  auto program = resolveProgram(arguments->front(), facts, *facts.directory, shell, tools);
  if (!program) return {ActionOutcome::RestartNoProgram, {}};
  // The program found is the one that runs: the login shell's PATH may differ
  // from the one the process was started with.
  arguments->front() = *program;
  return {ActionOutcome::Done, {restartShellCommand(shell, *arguments), facts.directory}};
}

}  // namespace PortCore
