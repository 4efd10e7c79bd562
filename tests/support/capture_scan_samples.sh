#!/usr/bin/env bash
# Captures the tool output that the parser tests read (tests/data/*.txt) from a
# few tw_listener processes. It runs in a PID namespace of its own, so the
# process table holds only these processes and the PIDs come out the same on
# every run. Needs root (unshare), a built tw_listener and tarnwick:
#   sudo tests/support/capture_scan_samples.sh build/tests/tw_listener build/tarnwick tests/data
set -euo pipefail
listener="$(realpath "$1")" tarnwick="$(realpath "$2")" out="$(realpath "$3")"

if [ "${TW_CAPTURE_INSIDE:-}" != 1 ]; then
  # The script runs as PID 1's child, so that every listener has an ancestor.
  exec env TW_CAPTURE_INSIDE=1 unshare --pid --fork --mount-proc bash -c '"$0" "$@"; :' "$0" "$@"
fi

work="$(mktemp -d /tmp/tw-capture.XXXXXX)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/shop app"
printf '{"name": "shop"}\n' >"$work/shop app/package.json"
# Names that are not plain ASCII: lsof writes a byte that is not UTF-8 as the
# text \xff, ps as "?".
utf8="tw_l$(printf '\xc3\xaf')stener" latin1="tw_l$(printf '\xff')stener"
for name in "tw listener" "$utf8" "$latin1"; do cp "$listener" "$work/$name"; done
cd "$work"

# Starts a listener in the background with its output in $work/NAME.out and
# waits until it is ready.
start() {
  "${@:2}" >"$work/$1.out" &
  until grep -q '^ready$' "$work/$1.out" 2>/dev/null; do sleep 0.05; done
}
port_of() { sed -n 's/^port //p' "$work/$1.out" | head -n 1; }

start v4 "$listener" --chdir / --bind 127.0.0.1:0
start v6 "$work/tw listener" --chdir "$work/shop app" --bind ::1:0
start utf8 "$work/$utf8" --bind 127.0.0.1:0
start latin1 "$work/$latin1" --bind 127.0.0.1:0
# Two shells between this script and the listener: "; :" keeps each shell
# from replacing itself with its last command.
start dual sh -c "sh -c '\"$listener\" --chdir \"$work\" --bind dual:0; :'; :"
start reuse1 "$listener" --reuseport --bind 127.0.0.1:0
start reuse2 "$listener" --reuseport --bind 127.0.0.1:"$(port_of reuse1)"
start both "$listener" --bind 127.0.0.1:0
both="$(port_of both)"
{ kill %8 && wait %8; } 2>/dev/null || true
start both "$listener" --bind 127.0.0.1:"$both" --bind ::1:"$both"

lsof -F pcRuLPn -iTCP -sTCP:LISTEN -n -P +c0 >"$out/lsof_listen_full.txt"
pids="$(sed -n 's/^p//p' "$out/lsof_listen_full.txt" | sort -un | paste -sd,)"
lsof -a -p "$pids" -d cwd -F pn >"$out/lsof_cwd.txt"
lsof -F n -iTCP -sTCP:LISTEN -n -P >"$out/lsof_listen_ports.txt"
ps -axo pid=,ppid=,comm= >"$out/ps_table.txt"
"$tarnwick" --list >"$out/list_output.json"
