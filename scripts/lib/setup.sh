# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by scripts/run, scripts/test and scripts/bench: installs what is missing and configures a build.
# Source it; it defines ensure_packages and configure_build.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# What building and running needs (python3 for configuring the tests, which build/ includes), and
# what the tests need on top (the end-to-end runs find controls over AT-SPI: a D-Bus session, the
# accessibility bus and its Python bindings; and one listens with Orca, the screen reader; clang-format
# checks the sources' layout).
build_packages=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev fonts-wine fonts-dejavu-core python3)
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

# configure_build PRESET DIR [CMAKE ARGS...] : configures DIR as the preset of CMakePresets.json
# says, then builds all of it. The builds' options live in the presets, which an IDE reads too.
configure_build() {
    local preset=$1 dir=$2
    shift 2
    cmake -S "$repo_root" --preset "$preset" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}
