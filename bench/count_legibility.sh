#!/usr/bin/env bash
# How often OCR reads the tray item's two-digit count back from its 16-pixel
# picture: a stand-in for an eye at a glance, blind to the shapes a person
# knows. For each build folder given (default: build), build/bench/qt/count_pixmaps
# draws the counts 10 to 99 at 16 pixels, enlarged 8 times with whole pixels
# onto white; tesseract (Debian package tesseract-ocr) reads each as one line
# of digits. Prints, per build, how many it read right, of the whole picture
# and of its bottom ten rows (where the count is), and what it read wrong.
#
# Usage: bench/count_legibility.sh [BUILD_DIR...]
# A build of an older revision can be compared by building this program there.
set -euo pipefail
command -v tesseract >/dev/null || { echo "count_legibility: tesseract is not installed" >&2; exit 3; }
command -v convert >/dev/null || { echo "count_legibility: convert (imagemagick) is not installed" >&2; exit 3; }
((!$#)) && set -- build
work="$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-legibility.XXXXXX")"
trap 'rm -rf "$work"' EXIT

read_count() {
  tesseract "$1" - --psm 7 -c tessedit_char_whitelist=0123456789+ 2>/dev/null | tr -d '[:space:]'
}

for build in "$@"; do
  pictures="$work/$(basename "$build")-$RANDOM"
  QT_QPA_PLATFORM=offscreen "$build/bench/qt/count_pixmaps" 16 8 "$pictures" 2>/dev/null
  whole=0 badge=0 wrong=""
  for count in $(seq 10 99); do
    got="$(read_count "$pictures/$count.png")"
    if [ "$got" = "$count" ]; then whole=$((whole + 1)); else wrong+=" $count→${got:-∅}"; fi
    # The picture's bottom ten rows, the margin kept: the page is 160 pixels
    # high, the picture 128 of them from 16 down.
    convert "$pictures/$count.png" -crop 160x96+0+64 +repage "$pictures/$count-badge.png"
    [ "$(read_count "$pictures/$count-badge.png")" = "$count" ] && badge=$((badge + 1))
  done
  echo "$build: whole $whole/90, bottom ten rows $badge/90"
  echo "  misread (whole):$wrong"
done
