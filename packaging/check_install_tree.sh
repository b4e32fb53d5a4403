#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what a desktop finds in an installed tree: the program, its menu entry naming it, its icon
# at every size of assets/, its software-centre metadata. The tree comes from `cmake --install`, or
# with "deb" from the Debian package CPack makes, whose fields apt reads are checked first and which
# Debian's lintian must pass without a word.
# Usage: check_install_tree.sh SOURCE_DIR BUILD_DIR [deb]
set -euo pipefail
source_dir=$1 build_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }

if [ "${3:-}" = deb ]; then
    cpack --config "$build_dir/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; fail "cpack made no package (dpkg-shlibdeps comes with dpkg-dev)"; }
    deb=$(echo "$work"/package/*.deb)
    # dpkg-shlibdeps names the libraries with versions; the page opener and the screens' font are ours to add.
    fields=$(dpkg-deb -f "$deb" Depends Recommends)
    for want in "Depends:.*libc6 (>=" "Depends:.*libqt6widgets6 (>=" "Depends:.*xdg-utils" "Recommends:.*fonts-wine"; do
        grep -q "$want" <<<"$fields" || fail "$want not in $fields"
    done
    apt-get install --simulate "$deb" >"$work/apt.log" || { cat "$work/apt.log"; fail "apt would not install it"; }
    # lintian also finds an unstripped program; it does not compare the changelog with the version.
    lintian=$(lintian --allow-root "$deb" 2>&1) && [ -z "$lintian" ] || fail "lintian: ${lintian:-exit status $?}"
    dpkg-deb -x "$deb" "$work/root"
    version=$(dpkg-deb -f "$deb" Version)
    zcat "$work/root/usr/share/doc/tevrinquiz/changelog.gz" | head -n 1 | grep -qF "($version)" ||
        fail "the changelog has no entry for $version"
else
    cmake --install "$build_dir" --prefix "$work/root/usr" >/dev/null
    if readelf -d "$work/root/usr/bin/TevrinQuiz" | grep -F "$build_dir"; then fail "a RUNPATH into the build"; fi
fi

cd "$work/root/usr/share"
desktop-file-validate applications/tevrinquiz.desktop || fail "the installed menu entry is invalid"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' applications/tevrinquiz.desktop)
[ -x "../bin/$program" ] || fail "the menu entry starts '$program', which is not installed"
icon=$(sed -n 's/^Icon=//p' applications/tevrinquiz.desktop)
for size in "$source_dir"/assets/icons/hicolor/*; do
    size=${size##*/}
    [ "$(identify -format %wx%h "icons/hicolor/$size/apps/$icon.png")" = "$size" ] || fail "no $size icon '$icon'"
done
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli rejects the installed tree"
echo "The installed tree is complete."
