#!/usr/bin/env bash
# check_install.sh BUILD_DIR WITH_APP(0|1): installs the build into a temporary prefix, checks every
# file and validates the desktop entry and metadata, then builds the .deb, checks its contents and
# dependencies, unpacks it into a throw-away root and runs the command-line tool from there.
set -euo pipefail
build=$(cd "$1" && pwd)
with_app=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

id=com.zorvi.VX6207App
files=(
    bin/vx6207-cli bin/vx6207-sim
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/mime/packages/$id.xml
    share/icons/hicolor/scalable/apps/$id.svg share/man/man1/vx6207-cli.1
)
for size in 16 32 48 64 128 256; do files+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
if [ "$with_app" = 1 ]; then files+=(bin/vx6207-app); fi

cmake --install "$build" --prefix "$work/usr" >/dev/null
for f in "${files[@]}"; do
    [ -s "$work/usr/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$work/usr/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$work/usr/share/metainfo/$id.metainfo.xml" >/dev/null || fail "metainfo"
grep -q '^\.TH VX6207-CLI 1' "$work/usr/share/man/man1/vx6207-cli.1" || fail "man page header"
for sub in capture idn read-settings write-settings zero-adjust; do
    grep -q "^\.SS $sub\$" "$work/usr/share/man/man1/vx6207-cli.1" || fail "man page lacks $sub"
done

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >/dev/null) || fail "cpack"
deb=$(ls "$work"/pkg/*.deb)
contents=$(dpkg-deb -c "$deb")
for f in "${files[@]}"; do
    grep -q "\./usr/$f\$" <<<"$contents" || fail "not in the .deb: $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6 libxlsxwriter; do
    grep -q "$lib" <<<"$depends" || fail "dependency missing: $lib"
done
if [ "$with_app" = 1 ]; then grep -q 'libqt6widgets6' <<<"$depends" || fail "dependency missing: Qt Widgets"; fi
if grep -q -- '-dev' <<<"$depends"; then fail "a development package among the dependencies"; fi

dpkg -x "$deb" "$work/root"
out=$(HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$work/root/usr/bin/vx6207-cli" --simulate idn)
echo "$out"
grep -q 'VX6207-02' <<<"$out" || fail "the unpacked vx6207-cli did not identify the simulator"
echo "install tree, validators and .deb: ok"
