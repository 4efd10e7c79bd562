// Starting the tray application from the executable without a display: one
// line and status 1, not a wait for a display that never comes; on Wayland,
// the module is handed the X platform (which one is chosen is DisplayPlatform's table).
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

// Either display will do; the ones named here do not answer.
TEST(ApplicationStart, WithoutADisplayItSaysSoAndFails) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"", "", false},
      {":tw-none", "", true},
      {"", "tw-none", true},
  };
  for (const auto& [x11, wayland, display] : cases) {
    auto result = runProgram({"/bin/sh", "-c", "exec \"$0\" 2>&1", tarnwickPath()},
                             {.workingDirectory = {}, .extraEnv = {std::string("DISPLAY=") + x11,
                                                                   std::string("WAYLAND_DISPLAY=") + wayland}});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out == "tarnwick: no display to show the tray on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
              !display) << x11 << " " << wayland << ": " << result.out;
  }
}

// `text` with each "{name}" replaced by its path.
std::string withPaths(std::string text, const std::vector<std::pair<std::string, std::string>>& paths) {
  for (const auto& [name, path] : paths)
    for (size_t at; (at = text.find("{" + name + "}")) != std::string::npos;) text.replace(at, name.size() + 2, path);
  return text;
}

// The module is looked for beside the executable, then where it is installed;
// the first that exists is loaded or reported, and on Wayland the toolkit is
// handed its platform right after the program's name.
TEST(ApplicationStart, LoadsTheFirstModuleThatExists) {
  enum class Module { None, Broken, Working };
  const std::string missing = "tarnwick: cannot load the tray module ";
  const std::tuple<Module, Module, std::string, int> cases[] = {
      {Module::None, Module::None, missing + "(tried {beside}, {installed}): no such file\n", 1},
      {Module::None, Module::Working, "{program}\n-platform\nxcb;wayland\n", 7},
      {Module::Broken, Module::Working, missing + "(tried {beside}): {beside}: file too short\n", 1},
  };
  for (const auto& [beside, installed, expected, status] : cases) {
    TempDir dir;
    for (const char* folder : {"/bin", "/lib/tarnwick"}) std::filesystem::create_directories(dir.path() + folder);
    const std::vector<std::pair<std::string, std::string>> paths{
        {"program", dir.path() + "/bin/tarnwick"},
        {"beside", dir.path() + "/bin/libtarnwick_qt.so"},
        {"installed", dir.path() + "/bin/../lib/tarnwick/libtarnwick_qt.so"}};
    std::filesystem::copy_file(tarnwickPath(), paths[0].second);
    for (const auto& [module, path] : {std::pair(beside, paths[1].second), std::pair(installed, paths[2].second)}) {
      if (module == Module::Broken) std::ofstream{path};
      if (module == Module::Working) std::filesystem::copy_file(fakeTrayModulePath(), path);
    }
    auto result = runProgram({"/bin/sh", "-c", "exec \"$0\" 2>&1", paths[0].second},
                             {.workingDirectory = {}, .extraEnv = {"DISPLAY=:tw-none", "WAYLAND_DISPLAY=tw-none",
                                                                   "XDG_SESSION_TYPE=wayland", "QT_QPA_PLATFORM="}});
    EXPECT_EQ(result.out, withPaths(expected, paths));
    EXPECT_EQ(result.status, status) << result.out;
  }
}
