#!/usr/bin/env bash
# Checks the macOS cross build (scripts/build-macos): each executable is a
# Mach-O executable for the architecture its tree was built for, and each tree
# compiled every toolkit-free source of core/, integrations/ and app/ (their
# concept folders too, not the toolkit's qt/) but the
# _linux.cpp ones (a Linux-only concept may have no macOS file), and nothing else.
# Usage: macos_build_test.sh SOURCE_DIR EXECUTABLE...
set -euo pipefail
expected="$(find "$(realpath "$1")"/Tarnwick/{core,integrations,app} -name '*.cpp' ! -name '*_linux.cpp' \
  ! -path '*/qt/*' -exec realpath {} + | sort)"
shift
failures=0
fail() { echo "macos build test: $*" >&2; failures=$((failures + 1)); }
(($#)) || fail "no executable given"
for executable in "$@"; do
  tree="$(dirname "$(realpath "$executable")")"
  arch="${tree##*/build-macos-}"
  description="$(file -b "$executable")"
  if [[ "$tree" != */build-macos-* || "$description" != "Mach-O 64-bit $arch executable"* ]]; then
    fail "$executable is not a Mach-O $arch executable: $description"
    continue
  fi
  compiled="$(python3 -c 'import json, os, sys
for c in json.load(open(sys.argv[1])): print(os.path.realpath(os.path.join(c["directory"], c["file"])))' \
    "$tree/compile_commands.json" | sort)"
  problems="$(diff <(echo "$expected") <(echo "$compiled"))" ||
    fail "in $tree, < not compiled, > compiled but not expected:"$'\n'"$problems"
  echo "macOS $arch: $(wc -l <<<"$compiled") sources, $(stat -c %s "$executable") bytes, $description"
done
((failures == 0)) || exit 1
echo "macos build test passed"
