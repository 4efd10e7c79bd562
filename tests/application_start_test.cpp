// Starting the tray application from the executable without a display: one
// line and status 1, not a wait for a display that never comes. Where the
// module is looked for is walked by the Qt tests (beside the built executable)
// and by the install test (in ../lib/tarnwick).
#include "support/test_process.h"

#include <gtest/gtest.h>

TEST(ApplicationStart, WithoutADisplayItSaysSoAndFails) {
  auto result = runProgram({"/bin/sh", "-c", "exec \"$0\" 2>&1", tarnwickPath()},
                           {.workingDirectory = {}, .extraEnv = {"DISPLAY=", "WAYLAND_DISPLAY="}});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "tarnwick: no display to show the tray on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
}
