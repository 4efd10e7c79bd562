#include "integrations/editor.h"

#include "support/test_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A temporary world of stand-in programs that record their arguments, one per line.
class EditorWorld {
 public:
  EditorWorld() { fs::create_directories(bin()); }

  std::string bin() const { return dir_.path() + "/bin"; }
  std::string record(const std::string& name) const { return dir_.path() + "/" + name + ".args"; }

  std::string addProgram(const std::string& name, const std::string& extra = "") {
    auto path = dir_.write("bin/" + name,
                           "#!/bin/sh\n" + extra + "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                               record(name) + ".part'\nmv '" + record(name) + ".part' '" + record(name) + "'\n");
    ::chmod(path.c_str(), 0755);
    return path;
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

  bool ran(const std::string& name) const { return fs::exists(record(name)); }

 private:
  TempDir dir_;
};

TEST(EditorTest, ChoosesFirstInstalledEditor) {
  struct Row {
    std::vector<std::string> programs;
    std::vector<std::string> desktopFiles;  // in the data home
    std::optional<std::string> expected;
  };
  const Row rows[] = {
      {{"cursor", "code"}, {}, "Cursor"},
      {{"code"}, {}, "Visual Studio Code"},
      {{"code"}, {"cursor.desktop"}, "Cursor"},
      {{}, {"code.desktop"}, "Visual Studio Code"},
      {{"xdg-open", "cursorx"}, {"cursor.desktop.bak"}, std::nullopt},
      {{"code"}, {"cursor.desktop:no-such-program %F"}, "Visual Studio Code"},
  };
  for (const auto& row : rows) {
    EditorWorld world;
    for (const auto& program : row.programs) world.addProgram(program);
    for (const auto& spec : row.desktopFiles) {
      // "file:Exec" gives the entry its own Exec line.
      auto colon = spec.find(':');
      auto exec = colon == std::string::npos ? std::string("/bin/true %F") : spec.substr(colon + 1);
      world.addDesktopFile("data-home", spec.substr(0, colon), "Exec=" + exec + "\n");
    }
    EXPECT_EQ(Editor::appName(world.environment()), row.expected) << ::testing::PrintToString(row.programs);
  }
}

TEST(EditorTest, OpensDirectoryAsOneArgumentWithoutWaiting) {
  EditorWorld world;
  world.addProgram("code", "sleep 3\n");  // a slow editor must not hold us up
  world.addProgram("xdg-open");
  auto started = std::chrono::steady_clock::now();
  Editor::open("/home/me/my project", world.environment());
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2500));
  EXPECT_EQ(world.argumentsOf("code"), (std::vector<std::string>{"/home/me/my project"}));
  EXPECT_FALSE(world.ran("xdg-open"));
}

TEST(EditorTest, DirectoryThatLooksLikeAnOptionStaysADirectory) {
  EditorWorld world;
  world.addProgram("cursor");
  Editor::open("--version", world.environment());
  EXPECT_EQ(world.argumentsOf("cursor"), (std::vector<std::string>{"./--version"}));
}

TEST(EditorTest, EditorKnownOnlyByItsDesktopEntryStartsThroughExec) {
  EditorWorld world;
  auto program = world.addProgram("cursor-bin");
  world.addDesktopFile("share2", "cursor.desktop", "Name=Cursor\nExec=\"" + program + "\" --new-window %F\n");
  Editor::open("/srv/app", world.environment());
  EXPECT_EQ(world.argumentsOf("cursor-bin"), (std::vector<std::string>{"--new-window", "/srv/app"}));
}

TEST(EditorTest, WithoutEditorTheFileManagerOpensTheDirectory) {
  EditorWorld world;
  world.addProgram("xdg-open");
  Editor::open("/srv/app", world.environment());
  EXPECT_EQ(world.argumentsOf("xdg-open"), (std::vector<std::string>{"/srv/app"}));
}

TEST(EditorTest, FallbackNameComesFromTheDefaultFolderHandler) {
  struct Row {
    std::optional<std::string> xdgMimeOutput;  // absent: no xdg-mime
    std::string entryName;                     // Name= of fm.desktop; empty: no such file
    std::string expected;
  };
  const Row rows[] = {
      {"fm.desktop\n", "Nemo", "Nemo"},
      {"fm.desktop;other.desktop\n", "Nemo", "Nemo"},
      {"fm.desktop\n", "", "Files"},
      {"", "Nemo", "Files"},
      {"../fm.desktop\n", "Nemo", "Files"},
      {std::nullopt, "Nemo", "Files"},
  };
  for (const auto& row : rows) {
    EditorWorld world;
    if (row.xdgMimeOutput) world.addProgram("xdg-mime", "printf '" + *row.xdgMimeOutput + "'\n");
    if (!row.entryName.empty()) world.addDesktopFile("share1", "fm.desktop", "Name=" + row.entryName + "\n");
    EXPECT_EQ(Editor::fallbackName(world.environment()), row.expected) << row.xdgMimeOutput.value_or("(none)");
  }
}

TEST(EditorTest, FallbackNameAsksXdgMimeForDirectories) {
  EditorWorld world;
  world.addProgram("xdg-mime");
  Editor::fallbackName(world.environment());
  EXPECT_EQ(world.argumentsOf("xdg-mime"), (std::vector<std::string>{"query", "default", "inode/directory"}));
}

}  // namespace
