#!/usr/bin/env bash
# Checks the macOS cross build (scripts/build-macos): each executable is a
# Mach-O executable for the architecture its tree was built for, and each tree
# compiled every toolkit-free source of core/, integrations/ and app/ (their
# concept folders too, not the toolkit's qt/) but the
# _linux.cpp ones (a Linux-only concept may have no macOS file), and nothing else.
# Usage: macos_build_test.sh SOURCE_DIR EXECUTABLE...
set -euo pipefail
source_dir="$(realpath "$1")"
shift
(($#)) || { echo "macos build test: no executable given" >&2; exit 1; }
expected="$(find "$source_dir"/Tarnwick/{core,integrations,app} -name '*.cpp' ! -name '*_linux.cpp' ! -path '*/qt/*' \
  -exec realpath {} + | sort)"
failures=0
for executable in "$@"; do
  tree="$(dirname "$(realpath "$executable")")"
  arch="${tree##*/build-macos-}"
  description="$(file -b "$executable")"
  if [[ "$tree" != */build-macos-* || "$description" != "Mach-O 64-bit $arch executable"* ]]; then
    echo "macos build test: $executable is not a Mach-O $arch executable: $description" >&2
    failures=$((failures + 1))
    continue
  fi
  compiled="$(python3 -c 'import json, os, sys
for c in json.load(open(sys.argv[1])): print(os.path.realpath(os.path.join(c["directory"], c["file"])))' \
    "$tree/compile_commands.json" | sort)"
  if ! problems="$(diff <(echo "$expected") <(echo "$compiled"))"; then
    echo "macos build test: in $tree, < not compiled, > compiled but not expected:"$'\n'"$problems" >&2
    failures=$((failures + 1))
  fi
  echo "macOS $arch: $(wc -l <<<"$compiled") sources, $(stat -c %s "$executable") bytes, $description"
done
((failures == 0)) || exit 1
echo "macos build test passed"
