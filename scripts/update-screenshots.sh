#!/usr/bin/env bash
# Takes the software-centre screenshots again: the window end-to-end test opens
# the example project under a virtual display, builds its book and pictures
# the main window, and the picture replaces data/screenshots/main-window.png.
# The metadata gives the picture's size; the desktop_files test compares them.
#
# usage: scripts/update-screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
cmake --build "$build" --target tessarel
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
tests/app/e2e.sh "$build/bin/tessarel" "$shots"
cp "$shots/main_window.png" data/screenshots/main-window.png
size=$(od -An -tu1 -j16 -N8 data/screenshots/main-window.png | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
echo "data/screenshots/main-window.png: $size (the metadata's <image> must say the same)"
