#pragma once
// Opening a project directory in a code editor, or the file manager.
#include <optional>
#include <string>

namespace Editor {

/// "Cursor" or "Visual Studio Code" when installed; absent otherwise.
std::optional<std::string> appName();
/// What the menu names when no editor is installed (the file manager).
std::string fallbackName();
/// Opens `path` in the editor, else in the default file manager.
void open(const std::string& path);

}  // namespace Editor
