#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the installed
# program finds its resource bundle and Qt module from there, that the desktop
# entry and metainfo validate, and that the Debian package holds what it should.
set -euo pipefail
build="$1"
source_dir="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

# The installed bundle is the one found: give one text a marker and read it back.
strings="$prefix/share/tarnwick/Tarnwick_Tarnwick.bundle/en.lproj/Localizable.strings"
[ -f "$strings" ] || fail "no installed strings table at $strings"
sed -i 's|^"help_kill" = .*|"help_kill" = "installed-bundle-marker";|' "$strings"
cd "$work"
out="$("$prefix/bin/tarnwick" --t help_kill)"
echo "$out" | grep -qx 'en: installed-bundle-marker' || fail "installed bundle not used: $out"
echo "$out" | grep -q '^tr: ' || fail "no Turkish line: $out"

# The module is found beside the install: with an unusable display the failure
# comes from Qt inside the module, not from loading it.
module="$prefix/lib/tarnwick/libtarnwick_qt.so"
[ -f "$module" ] || fail "no Qt module at $module"
status=0
message="$(DISPLAY=:987 WAYLAND_DISPLAY= "$prefix/bin/tarnwick" 2>&1 >/dev/null)" || status=$?
[ "$status" -eq 1 ] || fail "expected status 1 without a usable display, got $status: $message"
case "$message" in *"cannot load"*|*"could not load"*) fail "module not found from the install: $message" ;; esac

desktop-file-validate "$prefix/share/applications/com.ulmarsh.tarnwick.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/com.ulmarsh.tarnwick.metainfo.xml" >/dev/null
[ -f "$prefix/share/icons/hicolor/scalable/apps/com.ulmarsh.tarnwick.svg" ] || fail "no scalable icon"
[ -f "$prefix/share/icons/hicolor/256x256/apps/com.ulmarsh.tarnwick.png" ] || fail "no 256 px icon"

# The Debian package: its files and computed dependencies.
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb="$(ls "$work"/deb/tarnwick_*.deb)"
files="$(dpkg-deb -c "$deb" | awk '{print $NF}')"
for path in ./usr/bin/tarnwick ./usr/lib/tarnwick/libtarnwick_qt.so \
    ./usr/share/tarnwick/Tarnwick_Tarnwick.bundle/en.lproj/Localizable.strings \
    ./usr/share/tarnwick/Tarnwick_Tarnwick.bundle/tr.lproj/Localizable.strings \
    ./usr/share/applications/com.ulmarsh.tarnwick.desktop \
    ./usr/share/metainfo/com.ulmarsh.tarnwick.metainfo.xml \
    ./usr/share/doc/tarnwick/copyright; do
  echo "$files" | grep -qx "$path" || fail "the package lacks $path"
done
depends="$(dpkg-deb -f "$deb" Depends)"
echo "$depends" | grep -q 'libqt6widgets6' || fail "dependencies not computed from the module: $depends"
echo "$depends" | grep -q 'libc6' || fail "dependencies not computed: $depends"
lintian --fail-on error "$deb" >/dev/null 2>&1 || { lintian "$deb" >&2 || true; fail "lintian reports errors"; }
echo "install test passed"
