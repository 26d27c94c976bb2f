#!/usr/bin/env bash
# Installs the packages, builds the console program and builds the bundled
# example: the sample project's book (with its compiled help) and the chapter
# page of one source file. The example is copied first, so the source tree
# stays clean.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target tessarel-cli tessarel_styles
out="$PWD/build/example"
rm -rf "$out"
cp -r examples "$out"
echo "== The sample project"
build/bin/tessarel-cli "$out/sample.qdx"
echo
echo "== One source file"
build/bin/tessarel-cli "$out/c/ring_buffer.c"
