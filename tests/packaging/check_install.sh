#!/usr/bin/env bash
# check_install.sh BUILD_DIR WITH_APP(0|1): installs the build into a temporary prefix, checks every
# file and validates the desktop entry, metadata and manual pages, then builds the .deb, checks its
# contents and dependencies, runs lintian on it (no error allowed; the warnings are printed),
# unpacks it into a throw-away root and runs the command-line tool from there.
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
    share/icons/hicolor/scalable/apps/$id.svg share/man/man1/vx6207-cli.1.gz share/man/man1/vx6207-sim.1.gz
    share/doc/vx6207app/copyright share/doc/vx6207app/changelog.gz
)
for size in 16 32 48 64 128 256; do files+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
if [ "$with_app" = 1 ]; then files+=(bin/vx6207-app share/man/man1/vx6207-app.1.gz); fi

cmake --install "$build" --prefix "$work/usr" --strip >/dev/null
for f in "${files[@]}"; do
    [ -s "$work/usr/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$work/usr/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$work/usr/share/metainfo/$id.metainfo.xml" >/dev/null || fail "metainfo"
man=$work/usr/share/man/man1
zcat "$man/vx6207-cli.1.gz" | grep -q '^\.TH VX6207-CLI 1' || fail "man page header"
for sub in capture idn read-settings write-settings zero-adjust; do
    zcat "$man/vx6207-cli.1.gz" | grep -q "^\.SS $sub\$" || fail "man page lacks $sub"
done
zcat "$man/vx6207-sim.1.gz" | grep -q -- '--mux-channels' || fail "the simulator's man page lacks its options"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
zcat "$work/usr/share/doc/vx6207app/changelog.gz" | head -n 1 | grep -q "^vx6207app ($version)" ||
    fail "the changelog's newest entry is not version $version"

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >/dev/null) || fail "cpack"
deb=$(ls "$work"/pkg/*.deb)
contents=$(dpkg-deb -c "$deb")
for f in "${files[@]}"; do
    grep -q "\./usr/$f\$" <<<"$contents" || fail "not in the .deb: $f"
done
# lintian: errors fail, warnings are shown (they are named in the release notes).
lint=$(lintian --no-tag-display-limit "$deb" 2>&1) || true
echo "$lint"
if grep -q '^E: ' <<<"$lint"; then fail "lintian reports errors"; fi
if grep -q 'manpage-has-errors' <<<"$lint"; then fail "a manual page does not format cleanly"; fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6 libxlsxwriter; do
    grep -q "$lib" <<<"$depends" || fail "dependency missing: $lib"
done
if [ "$with_app" = 1 ]; then
    grep -q 'libqt6widgets6' <<<"$depends" || fail "dependency missing: Qt Widgets"
    grep -q 'libqcustomplot2.1-qt6' <<<"$depends" || fail "dependency missing: QCustomPlot"
    if grep -q 'libqt6charts' <<<"$depends"; then fail "Qt Charts is still a dependency"; fi
fi
if grep -q -- '-dev' <<<"$depends"; then fail "a development package among the dependencies"; fi

dpkg -x "$deb" "$work/root"
out=$(HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$work/root/usr/bin/vx6207-cli" --simulate idn)
echo "$out"
grep -q 'VX6207-02' <<<"$out" || fail "the unpacked vx6207-cli did not identify the simulator"
echo "install tree, validators and .deb: ok"
