#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build into a fresh prefix and checks what a desktop finds there: the program, its menu
# entry, its icon at every size, its software-centre metadata, and no path back into the build.
# Usage: check_install_tree.sh BUILD_DIR "ICON SIZES"
set -euo pipefail

build_dir=$1
read -r -a sizes <<<"$2"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr
cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

program=$prefix/bin/TevrinQuiz
desktop=$prefix/share/applications/tevrinquiz.desktop
metainfo=$prefix/share/metainfo/org.tevrinquiz.TevrinQuiz.metainfo.xml

[ -x "$program" ] || fail "no executable bin/TevrinQuiz"
[ -f "$desktop" ] || fail "no share/applications/tevrinquiz.desktop"
[ -f "$metainfo" ] || fail "no share/metainfo/org.tevrinquiz.TevrinQuiz.metainfo.xml"

# The installed program must find its libraries in the system, not in the build folder.
if [ -x "$program" ] && readelf -d "$program" | grep -E 'R(UN)?PATH' | grep -qF "$build_dir"; then
    fail "the installed program still looks for libraries in $build_dir"
fi

# The entry names the program and the icon that are actually installed.
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "the installed desktop entry does not validate"
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    icon_name=$(sed -n 's/^Icon=//p' "$desktop")
    [ "$exec_name" = "TevrinQuiz" ] && [ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not the installed program"
    [ -n "$icon_name" ] || fail "the desktop entry names no icon"
fi

# Each size is a PNG of exactly that many pixels square.
png_size() {
    # Width and height are the big-endian 32-bit numbers at bytes 16 and 20 of the IHDR chunk.
    local bytes
    read -r -a bytes < <(od -An -tu1 -j16 -N8 "$1")
    echo "$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]))x$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))"
}
for size in "${sizes[@]}"; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/${icon_name:-tevrinquiz}.png
    if [ ! -f "$icon" ]; then
        fail "no icon at ${size}x${size}"
        continue
    fi
    [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "$icon is not a PNG"
    actual=$(png_size "$icon")
    [ "$actual" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $actual"
done

# AppStream's own check of the installed tree: the metadata, and the desktop entry it launches.
if [ -f "$metainfo" ]; then
    grep -qF '<launchable type="desktop-id">tevrinquiz.desktop</launchable>' "$metainfo" ||
        fail "the metadata does not launch tevrinquiz.desktop"
    appstreamcli validate-tree --no-net "$work" || fail "appstreamcli rejects the installed tree"
fi

if [ "$failures" -ne 0 ]; then
    echo "Installed files:" >&2
    (cd "$work" && find . -type f | sort) >&2
    exit 1
fi
echo "The installed tree is complete."
