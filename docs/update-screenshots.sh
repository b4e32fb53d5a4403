#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Refreshes the pictures of docs/ from a build: runs the end-to-end walkthrough, which keeps its
# screenshots and the last results page, renders that page with headless Chromium, and copies
# welcome.png, quiz.png and results.png here. The software-centre metadata shows the same three.
# Usage: docs/update-screenshots.sh [BUILD_DIR]    (BUILD_DIR defaults to build/)
set -euo pipefail

docs=$(cd "$(dirname "$0")" && pwd)
source "$docs/../scripts/lib/setup.sh"
ensure_packages chromium || exit 1
build=$(cd "${1:-$docs/../build}" && pwd)
artefacts=$build/e2e/walkthrough

ctest --test-dir "$build" -R '^e2e\.walkthrough$' --output-on-failure

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
flags=(--headless --disable-gpu --disable-quic --no-first-run --disable-background-networking
    --disable-component-update --disable-sync --hide-scrollbars --user-data-dir="$profile")
# Chromium's sandbox refuses to run as root.
[ "$(id -u)" -ne 0 ] || flags+=(--no-sandbox)
chromium "${flags[@]}" --window-size=800,520 --screenshot="$docs/results.png" \
    "file://$artefacts/results/Results.htm" >/dev/null 2>&1
[ -s "$docs/results.png" ] || { echo "Chromium made no picture of the results page" >&2; exit 1; }

cp "$artefacts/welcome.png" "$artefacts/quiz.png" "$docs/"
echo "Updated $docs/welcome.png, quiz.png and results.png"
