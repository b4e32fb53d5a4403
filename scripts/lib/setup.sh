# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by scripts/run, scripts/test and scripts/bench: installs what is missing and configures a build.
# Source it; it defines ensure_packages and configure_build.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# What configuring and building build/ needs: it includes the tests, so their configure needs too
# (python3). What starting the program needs on top (xdg-open opens the results page). What running
# the tests needs on top (the end-to-end runs find controls over AT-SPI: a D-Bus session, the
# accessibility bus and its Python bindings; one listens with Orca, the screen reader; clang-format
# checks the sources' layout).
build_packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev fonts-wine fonts-dejavu-core python3)
run_packages=(xdg-utils)
test_packages=(dpkg-dev lintian xvfb xauth xdotool openbox x11-utils desktop-file-utils appstream
    valgrind imagemagick dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi orca clang-format)

missing_packages() {
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || printf '%s\n' "$pkg"
    done
}

# ensure_packages PKG... : installs the missing ones with apt-get (as root or through sudo).
ensure_packages() {
    if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
        echo "This is not a Debian or Ubuntu system. Install these (or your system's equivalents) yourself: $*" >&2
        return 0
    fi
    local missing
    missing=$(missing_packages "$@")
    [ -z "$missing" ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "These packages are missing and I cannot install them without root: $(echo $missing)" >&2
            return 1
        fi
    fi
    echo "Installing: $(echo $missing)"
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# configure PRESET DIR [CMAKE ARGS...] : configures DIR as the preset of CMakePresets.json says.
# The builds' options live in the presets, which an IDE reads too. Only a configure that got to
# the end marks DIR configured (is_configured); one that failed leaves no cache and one cut short
# no mark, so the next run configures afresh instead of building a half-generated tree.
configure() {
    local preset=$1 dir=$2
    shift 2
    rm -f "$dir/.configured"
    if ! cmake -S "$repo_root" --preset "$preset" -B "$dir" "$@" >/dev/null; then
        rm -f "$dir/CMakeCache.txt"
        return 1
    fi
    touch "$dir/.configured"
}

is_configured() { [ -f "$1/CMakeCache.txt" ] && [ -f "$1/.configured" ]; }

# configure_build PRESET DIR [CMAKE ARGS...] : configures DIR, then builds all of it.
configure_build() {
    configure "$@" && cmake --build "$2" -j "$(nproc)"
}
