#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the installed
# program finds its resource bundle and Qt module from there, that the desktop
# entry and metainfo validate, and that the Debian package holds what it should.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }
cd "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
bundle=share/tarnwick/Tarnwick_Tarnwick.bundle

# The installed bundle is the one found: give one text a marker and read it back.
sed -i 's|^"help_kill" = .*|"help_kill" = "installed-bundle-marker";|' "$prefix/$bundle/en.lproj/Localizable.strings"
out="$("$prefix/bin/tarnwick" --t help_kill)"
grep -qx 'en: installed-bundle-marker' <<<"$out" && grep -q '^tr: ' <<<"$out" || fail "installed bundle not used: $out"

# The module is found beside the install: with an unusable display the failure
# comes from Qt inside the module, not from loading it.
status=0
message="$(DISPLAY=:987 WAYLAND_DISPLAY= "$prefix/bin/tarnwick" 2>&1 >/dev/null)" || status=$?
[ "$status" -eq 1 ] || fail "expected status 1 without a usable display, got $status: $message"
[[ "$message" != *"cannot load"* && "$message" != *"could not load"* ]] || fail "module not found from the install: $message"

desktop-file-validate "$prefix/share/applications/com.ulmarsh.tarnwick.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/com.ulmarsh.tarnwick.metainfo.xml" >/dev/null

# The Debian package, made by the same install rules: its files and dependencies computed from the module.
cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb="$(ls "$work"/deb/tarnwick_*.deb)"
files="$(dpkg-deb -c "$deb" | awk '{print $NF}')"
for path in bin/tarnwick lib/tarnwick/libtarnwick_qt.so $bundle/{en,tr}.lproj/Localizable.strings \
    share/applications/com.ulmarsh.tarnwick.desktop share/metainfo/com.ulmarsh.tarnwick.metainfo.xml \
    share/icons/hicolor/{scalable/apps/com.ulmarsh.tarnwick.svg,256x256/apps/com.ulmarsh.tarnwick.png} \
    share/doc/tarnwick/copyright; do
  grep -qx "./usr/$path" <<<"$files" || fail "the package lacks $path"
done
depends="$(dpkg-deb -f "$deb" Depends)"
[[ "$depends" == *libqt6widgets6* && "$depends" == *libc6* ]] || fail "dependencies not computed: $depends"
lintian --fail-on error "$deb" >/dev/null 2>&1 || { lintian "$deb" >&2 || true; fail "lintian reports errors"; }
echo "install test passed"
