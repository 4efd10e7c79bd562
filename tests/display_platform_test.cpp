#include "integrations/display_platform.h"

#include <gtest/gtest.h>

namespace {

// Through XWayland on a Wayland session, where the panel is then a managed
// window; the user's QT_QPA_PLATFORM stands.
TEST(DisplayPlatform, XOnAWaylandSessionWithAnXDisplayUnlessTheUserChose) {
  struct Row {
    const char* name;
    DisplayEnvironment environment;
    std::optional<std::string> platform;
    bool waylandSession;
  };
  const std::optional<std::string> qtsOwn, throughX = "xcb;wayland";
  const Row rows[] = {
      {"Wayland with XWayland", {"", "wayland-0", ":0", "wayland"}, throughX, true},
      {"a Wayland session whose socket is not named", {"", "", ":0", "wayland"}, throughX, true},
      {"Wayland without XWayland", {"", "wayland-0", "", "wayland"}, qtsOwn, true},
      {"the user's own choice", {"wayland", "wayland-0", ":0", "wayland"}, qtsOwn, true},
      {"X11", {"", "", ":0", "x11"}, qtsOwn, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(chosenPlatform(row.environment), row.platform) << row.name;
    EXPECT_EQ(isWaylandSession(row.environment), row.waylandSession) << row.name;
  }
}

}  // namespace
