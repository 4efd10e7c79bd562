#pragma once
// The windowing platform the tray application asks Qt for. A Wayland client
// cannot place its own windows, so on Wayland the panel would open wherever
// the compositor puts it; through XWayland it opens under the tray item.
#include <optional>
#include <string>

/// The variables of the environment the choice depends on; empty when unset.
struct DisplayEnvironment {
  std::string qtPlatform;      ///< QT_QPA_PLATFORM, the user's own choice
  std::string waylandDisplay;  ///< WAYLAND_DISPLAY
  std::string x11Display;      ///< DISPLAY (XWayland's, on a Wayland session)
  std::string sessionType;     ///< XDG_SESSION_TYPE

  /// Read from this process's environment.
  static DisplayEnvironment current();
};

/// The platforms to ask Qt for, in the order Qt tries them: X first on a
/// Wayland session with an X display at hand. None where the user set
/// QT_QPA_PLATFORM or Qt's own choice stands (an X11 session, Wayland without X).
std::optional<std::string> chosenPlatform(const DisplayEnvironment& environment);
