#pragma once
// Opening a project directory in a code editor, or the file manager.
#include <optional>
#include <string>

namespace Editor {

/// "Cursor" or "Visual Studio Code" when installed; absent otherwise.
std::optional<std::string> appName();
/// What the menu names when no editor is installed (the file manager).
std::string fallbackName();
/// Opens `path` in the editor, else in the default file manager. Never waits
/// for what it starts.
void open(const std::string& path);

/// Where the Linux launcher looks, read from the environment at each call by
/// the simple forms; tests pass their own.
struct Environment {
  std::string searchPath;  ///< PATH
  std::string dataHome;    ///< XDG_DATA_HOME, else ~/.local/share
  std::string dataDirs;    ///< XDG_DATA_DIRS, else /usr/local/share:/usr/share
};
Environment currentEnvironment();
std::optional<std::string> appName(const Environment& environment);
std::string fallbackName(const Environment& environment);
void open(const std::string& path, const Environment& environment);

}  // namespace Editor
