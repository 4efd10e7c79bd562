#include "integrations/display_platform.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayPlatform, XOnAWaylandSessionWithAnXDisplayUnlessTheUserChose) {
  struct Row {
    const char* name;
    DisplayEnvironment environment;
    std::optional<std::string> platform;
  };
  const std::optional<std::string> qtsOwn, throughX = "xcb;wayland";
  const Row rows[] = {
      {"Wayland with XWayland", {"", "wayland-0", ":0", "wayland"}, throughX},
      {"a Wayland socket, no session type", {"", "wayland-0", ":0", ""}, throughX},
      {"a Wayland session whose socket is not named", {"", "", ":0", "wayland"}, throughX},
      {"Wayland without XWayland", {"", "wayland-0", "", "wayland"}, qtsOwn},
      {"the user's own choice", {"wayland", "wayland-0", ":0", "wayland"}, qtsOwn},
      {"X11", {"", "", ":0", "x11"}, qtsOwn},
  };
  for (const Row& row : rows) EXPECT_EQ(chosenPlatform(row.environment), row.platform) << row.name;
}

}  // namespace
