#include "integrations/editor.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A temporary world of stand-in programs that record their arguments, one per line.
struct EditorWorld {
  EditorWorld() { fs::create_directories(bin()); }

  std::string bin() const { return dir_.path() + "/bin"; }
  std::string record(const std::string& name) const { return dir_.path() + "/" + name + ".args"; }

  void addProgram(const std::string& name, const std::string& extra = "") {
    const std::string log = record(name);
    const std::string script = "#!/bin/sh\n" + extra + "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + log +
                               ".part'\nmv '" + log + ".part' '" + log + "'\n";
    ::chmod(dir_.write("bin/" + name, script).c_str(), 0755);
  }

  void addDesktopFile(const std::string& where, const std::string& file, const std::string& body) {
    dir_.write(where + "/applications/" + file, "[Desktop Entry]\nType=Application\n" + body);
  }

  Editor::Environment environment() const {
    return {bin(), dir_.path() + "/data-home", dir_.path() + "/share1:" + dir_.path() + "/share2"};
  }

  /// The recorded arguments of `name`, once it has run (absent after a timeout).
  std::optional<std::vector<std::string>> argumentsOf(const std::string& name) const {
    if (!waitUntil([&] { return fs::exists(record(name)); })) return std::nullopt;
    std::ifstream in(record(name));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TempDir dir_;
};

TEST(EditorTest, ChoosesFirstInstalledEditor) {
  // The programs installed, a desktop file in the data home with its Exec line, and the name.
  const std::tuple<std::vector<std::string>, const char*, const char*, std::optional<std::string>> rows[] = {
      {{"code"}, "cursor.desktop", "/bin/true %F", "Cursor"},
      {{"xdg-open", "cursorx"}, "cursor.desktop.bak", "/bin/true %F", std::nullopt},
      {{"code"}, "cursor.desktop", "no-such-program %F", "Visual Studio Code"},
  };
  for (const auto& [programs, desktopFile, exec, expected] : rows) {
    EditorWorld world;
    for (const auto& program : programs) world.addProgram(program);
    world.addDesktopFile("data-home", desktopFile, std::string("Exec=") + exec + "\n");
    EXPECT_EQ(Editor::appName(world.environment()), expected) << desktopFile << " " << exec;
  }
}

TEST(EditorSerial, OpensTheDirectoryAsOneArgumentWithoutWaiting) {
  // The directory, the programs installed, whether a desktop entry for Cursor
  // starts cursor-bin, and the one program that runs with its arguments.
  using Strings = std::vector<std::string>;
  const std::tuple<const char*, std::string, Strings, bool, std::string, Strings> rows[] = {
      {"editor on the path", "/home/me/my project", {"code", "xdg-open"}, false, "code", {"/home/me/my project"}},
      {"a directory like an option", "--version", {"cursor"}, false, "cursor", {"./--version"}},
      {"editor known by its entry", "/srv/app", {"cursor-bin"}, true, "cursor-bin", {"--new-window", "/srv/app"}},
      {"no editor: the file manager", "/srv/app", {"xdg-open"}, false, "xdg-open", {"/srv/app"}},
  };
  for (const auto& [name, directory, programs, cursorEntry, runs, arguments] : rows) {
    EditorWorld world;
    // A slow editor must not hold us up.
    for (const auto& program : programs) world.addProgram(program, program == "code" ? "sleep 3\n" : "");
    if (cursorEntry) world.addDesktopFile("share2", "cursor.desktop", "Name=Cursor\nExec=\"" + world.bin() +
                                                                        "/cursor-bin\" --new-window %F\n");
    auto started = std::chrono::steady_clock::now();
    Editor::open(directory, world.environment());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2500)) << name;
    EXPECT_EQ(world.argumentsOf(runs), arguments) << name;
    for (const auto& program : programs)
      EXPECT_FALSE(program != runs && fs::exists(world.record(program))) << name << ": " << program;
  }
}

TEST(EditorTest, FallbackNameComesFromTheDefaultFolderHandler) {
  // What xdg-mime prints (absent: no xdg-mime), Name= of fm.desktop (empty: no
  // such file), and the name given.
  const std::tuple<std::optional<std::string>, std::string, std::string> rows[] = {
      {"fm.desktop\n", "Nemo", "Nemo"},
      {"fm.desktop;other.desktop\n", "Nemo", "Nemo"},
      {"fm.desktop\n", "", "Files"},
      {"../fm.desktop\n", "Nemo", "Files"},
      {std::nullopt, "Nemo", "Files"},
  };
  for (const auto& [xdgMimeOutput, entryName, expected] : rows) {
    EditorWorld world;
    if (xdgMimeOutput) world.addProgram("xdg-mime", "printf '" + *xdgMimeOutput + "'\n");
    if (!entryName.empty()) world.addDesktopFile("share1", "fm.desktop", "Name=" + entryName + "\n");
    EXPECT_EQ(Editor::fallbackName(world.environment()), expected) << xdgMimeOutput.value_or("(none)");
    if (!xdgMimeOutput) continue;
    EXPECT_EQ(world.argumentsOf("xdg-mime"), (std::vector<std::string>{"query", "default", "inode/directory"}));
  }
}

}  // namespace
