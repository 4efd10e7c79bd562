#!/usr/bin/env bash
# Times the scan as whole processes, side by side, under a generated load:
# `tarnwick --list`, the three tool runs it replaces, `ss -Hltnp`, plain lsof,
# and the notifier's port poll against its lsof run; then the in-process cold
# and repeated (warm) scan. Prints medians and ratios per scenario.
#   bench/scan_bench.sh [small] [medium] [large]      (default: all three)
# BUILD_DIR picks the build tree (default: build). Needs hyperfine and lsof.
# OLD_BUILD names the build tree of another revision: its `tarnwick --list` is
# then timed beside this one and their outputs must be byte-identical.
# SESSION_NICE (root only) weights this session's scheduling group for the
# run, e.g. -15: with autogroup scheduling a busy machine otherwise gives the
# session about one core, whatever its threads. Every command timed shares it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
scenarios=("$@")
((${#scenarios[@]})) || scenarios=(small medium large)

old="${OLD_BUILD:-}"
for program in "$build/tarnwick" "$build/bench/scan_load" "$build/bench/port_poll" "$build/bench/scan_repeat" \
  ${old:+"$old/tarnwick"}; do
  [ -x "$program" ] || { echo "missing $program: build first (cmake --build $build)" >&2; exit 1; }
done
command -v hyperfine >/dev/null || { echo "hyperfine is not installed (apt-get install hyperfine)" >&2; exit 1; }

work="$(mktemp -d)"
load_pid=""
stop_load() {
  # The generator ends its whole process group when signalled.
  if [ -n "$load_pid" ]; then
    kill "$load_pid" 2>/dev/null || true
    wait "$load_pid" 2>/dev/null || true
    # Its children die with it, but not at once: the next scenario waits for
    # the whole group (the generator leads it) to be gone.
    for _ in $(seq 300); do
      kill -0 -- "-$load_pid" 2>/dev/null || break
      sleep 0.2
    done
    load_pid=""
  fi
}
restore_nice=""
if [ -n "${SESSION_NICE:-}" ]; then
  restore_nice="$(sed -n 's/.* nice //p' /proc/self/autogroup)"
  echo "$SESSION_NICE" >/proc/self/autogroup
fi
trap 'stop_load; rm -rf "$work"; [ -z "$restore_nice" ] || echo "$restore_nice" >/proc/self/autogroup' EXIT
trap 'exit 130' INT TERM

start_load() {
  "$build/bench/scan_load" "$@" >"$work/load.out" &
  load_pid=$!
  for _ in $(seq 600); do
    grep -q ready "$work/load.out" 2>/dev/null && return 0
    kill -0 "$load_pid" 2>/dev/null || break
    sleep 0.2
  done
  echo "the load generator did not get ready" >&2
  exit 1
}

# The three invocations the tool-based scan makes, with the PID list of the
# working-directory run fixed beforehand, so only the tools are timed.
write_three_tools() {
  local pids
  pids="$(lsof -F p -iTCP -sTCP:LISTEN -n -P 2>/dev/null | sed -n 's/^p//p' | sort -un | paste -sd, -)"
  cat >"$work/three_tools.sh" <<SCRIPT
lsof -F pcRuLPn -iTCP -sTCP:LISTEN -n -P +c0
ps -axo pid=,ppid=,comm=
lsof -a -p ${pids:-1} -d cwd -F pn
# lsof fails when one of the PIDs has exited since, which on a busy machine
# is no reason to stop the benchmark.
true
SCRIPT
}

# Both builds list the same running load. Other processes on the machine may
# open or close a listener meanwhile, so a difference counts only when it
# survives three tries, each a pair of runs back to back.
compare_outputs() {
  local try
  for try in 1 2 3; do
    "$build/tarnwick" --list | sed 's/},{/},\n{/g' >"$work/new.list"
    "$old/tarnwick" --list | sed 's/},{/},\n{/g' >"$work/old.list"
    if cmp -s "$work/new.list" "$work/old.list"; then
      echo "   --list of both builds: byte-identical ($(wc -l <"$work/new.list") entries)"
      return 0
    fi
  done
  echo "   --list of both builds differs:"
  diff "$work/old.list" "$work/new.list" | head -20 | sed 's/^/   /'
  return 1
}

median_ms() { awk -F, -v name="$1" '$1 == name { printf "%.1f", $4 * 1000 }' "$work/times.csv"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

run_scenario() {
  local name="$1" runs="$2"
  shift 2
  echo "== scenario $name: scan_load $*"
  start_load "$@"
  echo "   processes now: $(ls /proc | grep -c '^[0-9]')"
  write_three_tools
  # Right after a thousand forks the first walks of /proc run several times
  # slower (the kernel is still settling the new processes); let that pass
  # before anything is timed, so the first command timed is not the one to pay.
  sleep 3
  for _ in 1 2 3; do
    "$build/tarnwick" --list >/dev/null
    sh "$work/three_tools.sh" >/dev/null 2>&1
    ss -Hltnp >/dev/null
  done
  local differs=0
  [ -z "$old" ] || compare_outputs || differs=1
  local old_run=()
  [ -z "$old" ] || old_run=(-n tarnwick-old "$old/tarnwick --list")
  hyperfine -N --style basic --warmup 3 --runs "$runs" --export-csv "$work/times.csv" \
    -n tarnwick "$build/tarnwick --list" "${old_run[@]}" \
    -n three-tools "sh $work/three_tools.sh" \
    -n ss "ss -Hltnp" \
    -n lsof "lsof -iTCP -sTCP:LISTEN -nP" \
    -n port-poll "$build/bench/port_poll" \
    -n lsof-ports "lsof -F n -iTCP -sTCP:LISTEN -n -P" >"$work/hyperfine.log" 2>&1 ||
    { cat "$work/hyperfine.log"; exit 1; }
  local t three s l p lp
  t="$(median_ms tarnwick)"; three="$(median_ms three-tools)"; s="$(median_ms ss)"
  l="$(median_ms lsof)"; p="$(median_ms port-poll)"; lp="$(median_ms lsof-ports)"
  printf '   %-34s %9s ms\n' "tarnwick --list" "$t" "three-tool scan (lsof, ps, lsof)" "$three" \
    "ss -Hltnp" "$s" "lsof -iTCP -sTCP:LISTEN -nP" "$l" "port poll (native)" "$p" \
    "port poll (lsof -F n)" "$lp"
  printf '   %-34s %9s\n' "tarnwick / three-tool scan" "$(ratio "$t" "$three")" \
    "tarnwick / ss" "$(ratio "$t" "$s")" "port poll native / lsof" "$(ratio "$p" "$lp")"
  if [ -n "$old" ]; then
    local o
    o="$(median_ms tarnwick-old)"
    printf '   %-34s %9s ms\n' "tarnwick --list (old build)" "$o"
    printf '   %-34s %9s\n' "old tarnwick / ss" "$(ratio "$o" "$s")" "tarnwick / old tarnwick" "$(ratio "$t" "$o")"
  fi
  "$build/bench/scan_repeat" 15 | sed 's/^/   /'
  stop_load
  return "$differs"
}

status=0
for scenario in "${scenarios[@]}"; do
  case "$scenario" in
    small) run_scenario small 20 --listeners 10 --listener-procs 5 --idle 200 --files 10 || status=1 ;;
    medium) run_scenario medium 15 --listeners 100 --listener-procs 50 --idle 1000 --files 20 || status=1 ;;
    large) run_scenario large 8 --listeners 1000 --listener-procs 100 --idle 3000 --files 30 || status=1 ;;
    *) echo "unknown scenario $scenario (small, medium, large)" >&2; exit 2 ;;
  esac
done
exit "$status"
