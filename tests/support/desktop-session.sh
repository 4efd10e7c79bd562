#!/usr/bin/env bash
# Runs a command inside a private, headless desktop made of Debian's own parts, on
# an Xvfb display with a session bus and a stand-in system bus of its own. HOME, the
# XDG folders and the dconf profile point into a temporary folder, so nothing of the
# user's own settings changes. Everything started here ends with the command,
# however it ends.
#
# Usage: tests/support/desktop-session [--desktop NAME] [--light] COMMAND [ARG...]
#   --desktop   xfce-top (default): xfwm4, an xfce4-panel along the top whose systray
#                 hosts StatusNotifierItems, dunst for notifications
#               xfce-bottom: the same with the panel along the bottom
#               gnome: GNOME Shell on X11 with the AppIndicator extension enabled
#               kde: KDE Plasma (kwin_x11 and plasmashell), its panel at the bottom
#   --light     the Xfce panel in its light colours (default: dark, as most panels are)
# The command sees TARNWICK_TEST_DESKTOP (the name), TARNWICK_TEST_PANEL_EDGE (top or
# bottom: where the bar holding the item is), TARNWICK_TEST_BAR (the bar's thickness in
# pixels, as measured on each) and TARNWICK_TEST_CLICK (single or double: the click that
# activates an item there). The command's exit status is the script's;
# 3 when the desktop is not installed (a failure when CI=true) or when
# TARNWICK_SKIP_LARGE_DESKTOPS=1 skips GNOME and KDE.
set -euo pipefail

desktop=xfce-top
dark=true
while (($#)); do
  case "$1" in
    --desktop) desktop="$2"; shift 2 ;;
    --light) dark=false; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if ((!$#)); then
  echo "usage: $0 [--desktop xfce-top|xfce-bottom|gnome|kde] [--light] COMMAND [ARG...]" >&2
  exit 2
fi

# Each desktop: what it runs, where its bar lies, how thick it is there, the click that
# activates an item, and the variables its own session sets: the command sees the session
# as a user's programs do there (XDG_CURRENT_DESKTOP picks Qt's platform theme, and with it
# the icon theme). Xfce's panel goes along the edge its name says.
common=(Xvfb dbus-daemon dbus-send dbus-update-activation-environment xdotool import)
case "$desktop" in
  xfce-top | xfce-bottom) programs=(xfwm4 xfce4-panel dunst) edge="${desktop#xfce-}" bar=28 click=single
    own=(XDG_CURRENT_DESKTOP=XFCE) ;;
  gnome) programs=(gnome-shell gjs gsettings) edge=top bar=32 click=double own=(XDG_CURRENT_DESKTOP=GNOME) ;;
  kde) programs=(kwin_x11 plasmashell) edge=bottom bar=44 click=single
    own=(XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5) ;;
  *) echo "desktop-session: no desktop named $desktop" >&2; exit 2 ;;
esac
skip() {
  echo "desktop-session: $1" >&2
  [ "${CI:-}" = true ] && exit 1
  exit 3
}
if [ "${TARNWICK_SKIP_LARGE_DESKTOPS:-}" = 1 ] && [[ "$desktop" = gnome || "$desktop" = kde ]]; then
  echo "desktop-session: $desktop skipped (TARNWICK_SKIP_LARGE_DESKTOPS=1)" >&2
  exit 3
fi
for program in "${common[@]}" "${programs[@]}"; do
  command -v "$program" >/dev/null || skip "$program is not installed (scripts/bootstrap test)"
done
[ "$desktop" != gnome ] || [ -d /usr/share/gnome-shell/extensions/ubuntu-appindicators@ubuntu.com ] ||
  skip "the AppIndicator extension is not installed (scripts/bootstrap test)"

session="$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-desktop.XXXXXX")"
started=()
finish() {
  local status=$? pid
  if [ "$status" -ne 0 ] && [ -s "$session/log" ]; then
    echo "desktop-session: the desktop's log follows" >&2
    tail -n 40 "$session/log" >&2
  fi
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do kill -TERM "${started[i]}" 2>/dev/null || true; done
  for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$session"
}
trap finish EXIT
trap 'exit 143' TERM INT

export HOME="$session/home" XDG_CONFIG_HOME="$session/home/.config" XDG_CACHE_HOME="$session/home/.cache"
export XDG_DATA_HOME="$session/home/.local/share" XDG_STATE_HOME="$session/home/.local/state"
export XDG_RUNTIME_DIR="$session/run" DCONF_PROFILE="$session/dconf-profile" XDG_SESSION_TYPE=x11 "${own[@]}"
unset SESSION_MANAGER WAYLAND_DISPLAY DBUS_SESSION_BUS_PID XDG_SESSION_ID XDG_SEAT XDG_VTNR
# The desktop's own Qt programs (kwin, plasmashell, and what the bus starts for them)
# draw on the display, whatever platform the command is given.
command_platform="${QT_QPA_PLATFORM-}"
unset QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
# Only the session's own database: no system-wide defaults or locks of this machine.
echo "user-db:user" >"$DCONF_PROFILE"

# Tries a command every 0.1 s for up to $1 s until it succeeds; else says $2 and fails.
within() {
  local seconds="$1" failure="$2" _
  shift 2
  for _ in $(seq "$((seconds * 10))"); do
    "$@" && return 0
    sleep 0.1
  done
  echo "desktop-session: $failure" >&2
  return 1
}

# Waits up to $2 s (default 20) for a name to be owned on the session bus.
bus_name() {
  within "${2:-20}" "nobody took $1 on the bus" eval "dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:$1 2>/dev/null | grep -q 'boolean true'"
}

# Starts a server that writes its address on descriptor 5; the variable named $1 gets that address.
announced() {
  local variable="$1" file="$session/$1"
  shift
  background "$@" 5>"$file"
  within 20 "$1 did not start" test -s "$file"
  printf -v "$variable" '%s' "$(head -n 1 "$file")"
}

# Starts a program in the background, its output in the session's log; it ends with the session.
background() {
  "$@" >>"$session/log" 2>&1 &
  started+=($!)
}

announced display Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp
announced DBUS_SESSION_BUS_ADDRESS dbus-daemon --session --nofork --print-address=5
# A shell asks the system bus for logins, power and the like; it gets an empty one.
announced DBUS_SYSTEM_BUS_ADDRESS dbus-daemon --session --nofork --print-address=5
export DISPLAY=":$display" DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS
# Services the bus starts on demand (dconf, kded, kglobalaccel) get the session's display
# and the desktop's own variables: KDE's activity manager needs them, or plasmashell stops.
dbus-update-activation-environment DISPLAY XAUTHORITY HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME \
  XDG_STATE_HOME XDG_RUNTIME_DIR DCONF_PROFILE DBUS_SYSTEM_BUS_ADDRESS "${own[@]}" >/dev/null 2>&1

# Xfce: one panel along an edge, a separator that takes the free length, then the
# systray, so the item is the last square. No clock: its width changes and would
# move the item. dunst takes the notifications and keeps every one in its history.
start_xfce() {
  local snap=6  # xfce4-panel's snap positions: 6 is the top left corner, 8 the bottom left
  [ "$edge" = top ] || snap=8
  mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml" "$XDG_CONFIG_HOME/dunst"
  cat >"$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="dark-mode" type="bool" value="$dark"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=$snap;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="28"/>
      <property name="icon-size" type="uint" value="16"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="systray">
      <property name="square-icons" type="bool" value="true"/>
    </property>
  </property>
</channel>
EOF
  cat >"$XDG_CONFIG_HOME/dunst/dunstrc" <<EOF
[global]
    history_length = 100
    sticky_history = yes
    # Bodies are read as markup, as the common desktops' servers read them.
    markup = full
EOF
  background xfwm4 --compositor=off
  background xfce4-panel
  background dunst -config "$XDG_CONFIG_HOME/dunst/dunstrc"
}

# GNOME Shell shows status-notifier items only through the AppIndicator extension,
# enabled before the shell starts. gjs runs the shell's notification daemon. The
# extension opens the item's menu on a single click and activates it on a double one.
start_gnome() {
  gsettings set org.gnome.shell disable-user-extensions false
  gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
  background gnome-shell --x11 --replace --sm-disable
}

# KDE Plasma: its default panel is along the bottom, the tray at its right end.
start_kde() {
  background kwin_x11 --replace
  background plasmashell --no-respawn
}

# Waits up to 20 s for the screen to be drawn (more than one colour) and to hold
# still between two looks, so that a command's first screenshot shows the desktop.
drawn() {
  local previous="" now
  for _ in $(seq 40); do
    now="$(import -window root -format '%k %#' info: 2>/dev/null || true)"
    [[ "$now" != "" && "$now" != 1\ * && "$now" = "$previous" ]] && return 0
    previous="$now"
    sleep 0.5
  done
  echo "desktop-session: the screen did not settle" >&2
}

"start_${desktop%-*}"
# The shell is up once it hosts the tray's items and takes the notifications.
bus_name org.kde.StatusNotifierWatcher 60
bus_name org.freedesktop.Notifications 30
# GNOME Shell starts in the overview, which hides the top bar's items.
[ "$desktop" != gnome ] || { sleep 1; xdotool key Escape; }
drawn
export TARNWICK_TEST_DESKTOP="$desktop" TARNWICK_TEST_PANEL_EDGE="$edge" TARNWICK_TEST_BAR="$bar"
export TARNWICK_TEST_CLICK="$click"

[ -z "$command_platform" ] || export QT_QPA_PLATFORM="$command_platform"
"$@"
