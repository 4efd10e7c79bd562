#!/usr/bin/env bash
# Checks the macOS cross build (scripts/build-macos): each executable is a
# Mach-O executable for the architecture its tree was built for, and each tree
# compiled every toolkit-free source of core/, integrations/ and app/ — the
# Linux list with name_macos.cpp in place of each name_linux.cpp — and nothing else.
# Usage: macos_build_test.sh SOURCE_DIR EXECUTABLE...
set -euo pipefail
source_dir="$1"
shift
(($#)) || { echo "macos build test: no executable given" >&2; exit 1; }
failures=0
fail() { echo "macos build test: $*" >&2; failures=$((failures + 1)); }

for executable in "$@"; do
  tree="$(dirname "$executable")"
  case "$(basename "$tree")" in
    build-macos-arm64) arch=arm64 ;;
    build-macos-x86_64) arch=x86_64 ;;
    *) fail "$executable is not in a macOS build tree"; continue ;;
  esac
  description="$(file -b "$executable")"
  [[ "$description" == "Mach-O 64-bit $arch executable"* ]] ||
    fail "$executable is not a Mach-O $arch executable: $description"

  problems="$(python3 - "$source_dir" "$tree/compile_commands.json" <<'PY'
import json, os, sys
source_dir, commands = sys.argv[1], sys.argv[2]
tarnwick = os.path.join(source_dir, "Tarnwick")
expected = set()
for folder in ("core", "integrations", "app"):
    for directory, subfolders, names in os.walk(os.path.join(tarnwick, folder)):
        subfolders[:] = [s for s in subfolders if s != "qt"]  # the toolkit's own
        for name in names:
            # A Linux-only concept (the /proc scan) may have no macOS file at all.
            if name.endswith(".cpp") and not name.endswith("_linux.cpp"):
                expected.add(os.path.realpath(os.path.join(directory, name)))
with open(commands) as f:
    compiled = {os.path.realpath(os.path.join(c["directory"], c["file"])) for c in json.load(f)}
for path in sorted(expected - compiled):
    print("not compiled: " + os.path.relpath(path, source_dir))
for path in sorted(compiled - expected):
    print("compiled but not expected: " + os.path.relpath(path, source_dir))
PY
)"
  [ -z "$problems" ] || fail "in $tree:"$'\n'"$problems"
  count="$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))))' "$tree/compile_commands.json")"
  echo "macOS $arch: $count sources, $(stat -c %s "$executable") bytes, $description"
done
((failures == 0)) || exit 1
echo "macos build test passed"
