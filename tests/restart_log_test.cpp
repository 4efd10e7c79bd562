#include "core/process/restart_log.h"

#include <gtest/gtest.h>

#include <tuple>

// The state folder, from $XDG_STATE_HOME when it is absolute, else from $HOME:
// a user whose session sets neither variable still gets a log under their home.
TEST(RestartLogPath, StateHomeWhenAbsoluteElseHome) {
  const std::tuple<const char*, const char*, std::optional<std::string>> rows[] = {
      {"/state", "/home/me", "/state/tarnwick/restart-3000.log"},
      {nullptr, "/home/me", "/home/me/.local/state/tarnwick/restart-3000.log"},
      {"relative", "/home/me", "/home/me/.local/state/tarnwick/restart-3000.log"},
      {"", "relative", std::nullopt},
      {nullptr, nullptr, std::nullopt},
  };
  for (const auto& [stateHome, home, path] : rows)
    EXPECT_EQ(PortCore::restartLogPath(3000, stateHome, home), path) << (stateHome ? stateHome : "(unset)");
}
