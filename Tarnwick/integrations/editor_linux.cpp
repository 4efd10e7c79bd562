#include "integrations/editor.h"

#include "core/process/detached_launch.h"
#include "core/system/small_file.h"
#include "core/system/text.h"
#include "core/system/tool_runner.h"
#include "integrations/desktop_entry.h"
#include "integrations/executable_search.h"
#include "integrations/login_item.h"

#include <cstdlib>

namespace Editor {

namespace {

struct KnownEditor {
  const char* name;
  const char* command;
  const char* desktopFile;
};

constexpr KnownEditor kEditors[] = {
    {"Cursor", "cursor", "cursor.desktop"},
    {"Visual Studio Code", "code", "code.desktop"},
};

constexpr const char* kDefaultFileManagerName = "Files";

std::string environmentOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

std::vector<std::string> applicationDirectories(const Environment& environment) {
  std::vector<std::string> directories;
  if (!environment.dataHome.empty()) directories.push_back(environment.dataHome + "/applications");
  for (auto dir : PortCore::splitNonEmpty(environment.dataDirs, ':'))
    directories.push_back(std::string(dir) + "/applications");
  return directories;
}

/// The text of the first `desktopFile` in the application directories.
std::optional<std::string> desktopEntry(const std::string& desktopFile, const Environment& environment) {
  if (desktopFile.empty() || desktopFile.find('/') != std::string::npos) return std::nullopt;
  for (const auto& directory : applicationDirectories(environment))
    if (auto text = PortCore::readSmallFile(directory + "/" + desktopFile)) return text;
  return std::nullopt;
}

/// The program and arguments that open `target` in `editor`; empty when it is not installed.
std::vector<std::string> launchCommand(const KnownEditor& editor, const std::string& target,
                                       const Environment& environment) {
  if (auto command = Executables::find(editor.command, environment.searchPath)) return {*command, target};
  auto entry = desktopEntry(editor.desktopFile, environment);
  if (!entry) return {};
  auto exec = DesktopEntry::value(*entry, "Exec");
  auto command = exec ? DesktopEntry::execCommand(*exec, target) : std::vector<std::string>{};
  if (command.empty()) return {};
  if (command.front().find('/') == std::string::npos) {
    auto program = Executables::find(command.front(), environment.searchPath);
    if (!program) return {};
    command.front() = *program;
  }
  return command;
}

// Installed means startable: a desktop entry whose Exec names no program we
// can find does not count, so the menu never offers what open() cannot start.
bool isInstalled(const KnownEditor& editor, const Environment& environment) {
  return !launchCommand(editor, "/", environment).empty();
}

// A directory named like an option must still arrive as a directory.
std::string asArgument(const std::string& path) {
  return !path.empty() && path.front() == '-' ? "./" + path : path;
}

void launch(const std::vector<std::string>& command) {
  if (command.empty()) return;
  PortCore::systemLauncher().launch({command, std::nullopt});
}

}  // namespace

Environment currentEnvironment() {
  std::string home = LoginItem::homeDirectory();
  return {Executables::currentSearchPath(), environmentOr("XDG_DATA_HOME", home + "/.local/share"),
          environmentOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share")};
}

std::optional<std::string> appName(const Environment& environment) {
  for (const auto& editor : kEditors)
    if (isInstalled(editor, environment)) return editor.name;
  return std::nullopt;
}

std::string fallbackName(const Environment& environment) {
  auto xdgMime = Executables::find("xdg-mime", environment.searchPath);
  if (!xdgMime) return kDefaultFileManagerName;
  auto output = PortCore::runTool(*xdgMime, {"query", "default", "inode/directory"});
  auto lines = PortCore::splitLines(output);
  if (lines.empty()) return kDefaultFileManagerName;
  // The answer may list several desktop files separated by ";"; the first is the default.
  auto first = PortCore::splitNonEmpty(PortCore::trimWhitespace(lines.front()), ';');
  if (first.empty()) return kDefaultFileManagerName;
  auto entry = desktopEntry(std::string(first.front()), environment);
  auto name = entry ? DesktopEntry::value(*entry, "Name") : std::nullopt;
  return name && !name->empty() ? *name : kDefaultFileManagerName;
}

void open(const std::string& path, const Environment& environment) {
  std::string target = asArgument(path);
  for (const auto& editor : kEditors) {
    if (!isInstalled(editor, environment)) continue;
    launch(launchCommand(editor, target, environment));
    return;
  }
  if (auto xdgOpen = Executables::find("xdg-open", environment.searchPath)) launch({*xdgOpen, target});
}

std::optional<std::string> appName() { return appName(currentEnvironment()); }
std::string fallbackName() { return fallbackName(currentEnvironment()); }
void open(const std::string& path) { open(path, currentEnvironment()); }

}  // namespace Editor
