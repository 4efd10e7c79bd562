#!/usr/bin/env bash
# The tray application's cost on a loaded machine: CPU with the panel closed and
# open (60 s each by default), resident memory, and the panel's latency from a
# click. Starts its own Xvfb, session bus and load (bench/scan_load), and ends
# them all. Usage: bench/app_bench.sh [SECONDS]   (BUILD_DIR=build by default)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
seconds="${1:-60}"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/bus" ] && break; sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"

# The medium scenario: 100 listeners over 50 processes, 1,000 idle processes with 20 files each.
"$build/bench/scan_load" --listeners 100 --listener-procs 50 --idle 1000 --files 20 >"$work/load" &
pids+=($!)
for _ in $(seq 600); do grep -qx ready "$work/load" 2>/dev/null && break; sleep 0.1; done

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_mb() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
hz="$(getconf CLK_TCK)"
measure() {  # PID SECONDS -> percent of one core over that time
  local before after
  before="$(cpu_ticks "$1")"
  sleep "$2"
  after="$(cpu_ticks "$1")"
  awk -v d="$((after - before))" -v hz="$hz" -v s="$2" 'BEGIN {printf "%.2f", 100 * d / hz / s}'
}

"$build/tarnwick" &
app=$!
pids+=($app)
# Start-up settles: with no tray host in this session, the item falls back to
# XEmbed 30 s after start, a one-time cost that is not the idle figure.
sleep 35
closed="$(measure "$app" "$seconds")"
rss_closed="$(rss_mb "$app")"
"$build/tarnwick"  # a second start opens the running one's panel
sleep 2
open="$(measure "$app" "$seconds")"
rss_open="$(rss_mb "$app")"

printf '\n%-38s %s\n' "application, medium load" "figure"
printf '%-38s %s%%\n' "CPU, panel closed (${seconds} s)" "$closed"
printf '%-38s %s%%\n' "CPU, panel open (${seconds} s)" "$open"
printf '%-38s %s MB\n' "resident memory, panel closed" "$rss_closed"
printf '%-38s %s MB\n' "resident memory, panel open" "$rss_open"
kill "$app"

echo
"$build/bench/qt/panel_latency" 10
