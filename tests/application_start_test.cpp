// Starting the tray application from the executable without a display: one
// line and status 1, not a wait for a display that never comes; on Wayland,
// through the X display unless the user chose otherwise. Where the
// module is looked for is walked by the Qt tests (beside the built executable)
// and by the install test (in ../lib/tarnwick).
#include "support/test_process.h"

#include <gtest/gtest.h>

// Either display will do; the ones named here do not answer.
TEST(ApplicationStart, WithoutADisplayItSaysSoAndFails) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"", "", false}, {":tw-none", "", true}, {"", "tw-none", true}};
  for (const auto& [x11, wayland, display] : cases) {
    auto result = runProgram({"/bin/sh", "-c", "exec \"$0\" 2>&1", tarnwickPath()},
                             {.workingDirectory = {}, .extraEnv = {std::string("DISPLAY=") + x11,
                                                                   std::string("WAYLAND_DISPLAY=") + wayland}});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out == "tarnwick: no display to show the tray on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
              !display) << x11 << " " << wayland << ": " << result.out;
  }
}

// The X display is one that does not answer, so the first platform Qt tried
// names itself in the one line: X, with no word of a missing Wayland plugin.
TEST(ApplicationStart, OnWaylandItRunsThroughXUnlessTheUserChoseAPlatform) {
  const std::string throughX = "tarnwick: cannot open the display: could not connect to display :tw-none\n";
  for (const auto& [qtPlatform, viaX] : {std::pair("", true), std::pair("wayland", false)}) {
    auto result = runProgram({"/bin/sh", "-c", "exec \"$0\" 2>&1", tarnwickPath()},
                             {.workingDirectory = {},
                              .extraEnv = {"DISPLAY=:tw-none", "WAYLAND_DISPLAY=tw-none", "XDG_SESSION_TYPE=wayland",
                                           std::string("QT_QPA_PLATFORM=") + qtPlatform}});
    if (result.out.starts_with("tarnwick: cannot load the tray module")) GTEST_SKIP() << "built without the Qt module";
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out == throughX, viaX) << "QT_QPA_PLATFORM=" << qtPlatform << ": " << result.out;
  }
}
