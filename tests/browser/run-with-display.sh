#!/bin/sh
# Runs a browser test on the display there is, or under xvfb-run; exits 77
# (skipped) when there is neither.
set -eu
export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
if command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
fi
echo "no display and no xvfb-run; skipped"
exit 77
