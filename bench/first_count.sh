#!/usr/bin/env bash
# How long after start the tray item carries its count: inside a private desktop
# (tests/support/desktop-session.sh), with one listener on a dev port, starts tarnwick and
# reads the item's tooltip (scripts/tray-tooltip) until it names a count.
# Usage: bench/first_count.sh [BUILD_DIR] [RUNS]   (default: build, 3)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
runs="${2:-3}"

if [ -z "${TARNWICK_IN_SESSION:-}" ]; then
  TARNWICK_IN_SESSION=1 exec "$here/tests/support/desktop-session.sh" "$0" "$build" "$runs"
fi

# The first free port from 5000 up: a port the kernel picks is outside 1024-9999.
python3 -c '
import socket, time
s = socket.socket()
for port in range(5000, 10000):
    try:
        s.bind(("127.0.0.1", port))
        break
    except OSError:
        pass
s.listen()
time.sleep(3600)' &
listener=$!
trap 'kill $listener 2>/dev/null || true' EXIT

now_ms() { date +%s%3N; }

for ((run = 1; run <= runs; run++)); do
  start=$(now_ms)
  "$build/tarnwick" >/dev/null 2>&1 &
  app=$!
  registered="" counted=""
  while [ -z "$counted" ] && (($(now_ms) - start < 30000)); do
    tip="$("$here/scripts/tray-tooltip" 2>/dev/null || true)"
    [ -n "$tip" ] && [ -z "$registered" ] && registered=$(($(now_ms) - start))
    grep -Eq 'string "[^"]*[0-9]' <<<"$tip" && counted=$(($(now_ms) - start))
    sleep 0.05
  done
  echo "run $run: item registered after ${registered:-never} ms, count shown after ${counted:-never (30 s)} ms"
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
done
