#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of a build with CPack (into a temporary folder) and checks what apt
# would see: its dependencies, measured from the program by dpkg-shlibdeps, and its files.
# Usage: check_deb.sh BUILD_DIR APP_ID QT_PLUGIN_DIR
set -euo pipefail

build_dir=$1
app_id=$2
plugin_dir=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack --config "$build_dir/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not make the package (dpkg-shlibdeps comes with Debian's dpkg-dev)" >&2
    exit 1
fi
shopt -s nullglob
debs=("$work"/*.deb)
if [ "${#debs[@]}" -ne 1 ]; then
    echo "FAIL: expected one .deb, found ${#debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}
echo "Package: $(basename "$deb")"
dpkg-deb -I "$deb"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = "tevrinquiz" ] || fail "the package is called '$(field Package)'"
[ -n "$(field Version)" ] || fail "the package has no version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture '$(field Architecture)'"

# The dependencies as a list of bare package names.
names() { tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/[[:space:]]//g' -e '/^$/d'; }
depends=$(field Depends | names)
recommends=$(field Recommends | names)

# Every library the program links against, found by dpkg-shlibdeps, plus the desktop's opener.
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 xdg-utils; do
    grep -qx "$needed" <<<"$depends" || fail "Depends lacks $needed (Depends: $(field Depends))"
done
# The versioned Qt dependencies say which Qt the program was built against.
field Depends | grep -Eq 'libqt6widgets6 \(>= [0-9]' || fail "the Qt Widgets dependency carries no version"
grep -qx fonts-wine <<<"$recommends" || fail "Recommends lacks fonts-wine (Recommends: $(field Recommends))"
# A development package or the build's own tools have no place among them.
if grep -E -- '-dev$|^cmake$|^g\+\+' <<<"$depends"; then
    fail "Depends names build-time packages"
fi

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
echo "$contents"
for path in ./usr/bin/TevrinQuiz ./usr/share/applications/tevrinquiz.desktop \
    "./usr/share/metainfo/$app_id.metainfo.xml" ./usr/share/icons/hicolor/48x48/apps/tevrinquiz.png \
    ./usr/share/icons/hicolor/256x256/apps/tevrinquiz.png; do
    grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
if grep -E '^\./usr/local/|^\./(home|root|tmp|work)/' <<<"$contents"; then
    fail "the package installs outside /usr"
fi

# The packaged program is stripped: no symbol table.
mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
if readelf -S "$work/root/usr/bin/TevrinQuiz" | grep -qF '.symtab'; then
    fail "the packaged program is not stripped"
fi

# apt accepts it: every dependency names a package it knows.
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log" >&2
    fail "apt would not install the package"
}

# Installing it on a clean system brings every library the program loads: its own, and those of
# the Qt plugins it needs for the X display and for its JPEG, GIF and ICO pictures.
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances $depends | grep -v '^ ' | tr -d '<>' | sort -u)
declare -A needed_by=()
for file in "$work/root/usr/bin/TevrinQuiz" "$plugin_dir/platforms/libqxcb.so" \
    "$plugin_dir/imageformats/libqjpeg.so" "$plugin_dir/imageformats/libqgif.so" \
    "$plugin_dir/imageformats/libqico.so"; do
    if [ ! -f "$file" ]; then
        fail "no $file"
        continue
    fi
    [[ "$file" == "$work"/* ]] || needed_by[$file]=$(basename "$file")
    while read -r library; do
        needed_by[$library]=$(basename "$file")
    done < <(ldd "$file" | awk '$2 == "=>" && $3 ~ /^\// {print $3}')
done
# One query for all: with /usr merged, dpkg knows a library under /lib or under /usr/lib.
declare -A owner=()
candidates=()
for path in "${!needed_by[@]}"; do
    candidates+=("$path" "/usr${path#/usr}" "${path#/usr}")
done
while IFS= read -r line; do
    packages=${line%%: /*}
    path=${line#*: }
    owner[$path]=${packages%%:*}
done < <(dpkg -S "${candidates[@]}" 2>/dev/null | grep -v '^diversion')
for path in "${!needed_by[@]}"; do
    package=${owner[$path]:-${owner[/usr${path#/usr}]:-${owner[${path#/usr}]:-}}}
    if [ -z "$package" ]; then
        fail "no package holds $path, which ${needed_by[$path]} needs"
    elif ! grep -qx "$package" <<<"$closure"; then
        fail "$package (for $path, needed by ${needed_by[$path]}) is not pulled in by the package"
    fi
done

[ "$failures" -eq 0 ] || exit 1
echo "The package is complete."
