#!/usr/bin/env bash
# Installs the packages, checks the formatting, builds everything and runs
# every test three ways: the normal build, the same tests under the address and
# undefined-behaviour sanitizers (and the threaded ones under the thread
# sanitizer), and a short run of every fuzzing harness on
# its seed corpus. The Debian package is made from the normal build and checked.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export TESSAREL_DEPS_INSTALLED=1

echo "==== Formatting"
scripts/check-format.sh

echo "==== Tests"
cmake --preset default
cmake --build --preset default
# The window tests need a display; Qt WebEngine needs these as root.
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset default --timeout 600

echo "==== The Debian package, from the build above"
scripts/test-package.sh build

echo "==== Tests under the sanitizers"
scripts/test-sanitize.sh

echo "==== The threaded build under the thread sanitizer"
scripts/test-tsan.sh

echo "==== Fuzzing, about a minute per harness"
scripts/fuzz-smoke.sh
