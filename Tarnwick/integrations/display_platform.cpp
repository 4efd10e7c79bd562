#include "integrations/display_platform.h"

#include <cstdlib>

namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Its socket is named, or the session's type says so (Qt then tries Wayland first).
bool isWaylandSession(const DisplayEnvironment& environment) {
  return !environment.waylandDisplay.empty() || environment.sessionType == "wayland";
}

}  // namespace

DisplayEnvironment DisplayEnvironment::current() {
  return {variable("QT_QPA_PLATFORM"), variable("WAYLAND_DISPLAY"), variable("DISPLAY"), variable("XDG_SESSION_TYPE")};
}

std::optional<std::string> chosenPlatform(const DisplayEnvironment& environment) {
  if (!environment.qtPlatform.empty() || environment.x11Display.empty() || !isWaylandSession(environment))
    return std::nullopt;
  // Wayland stays the fallback for an X display that does not answer: a panel
  // the compositor places is better than no tray item.
  return "xcb;wayland";
}
