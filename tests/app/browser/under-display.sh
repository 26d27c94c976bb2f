#!/bin/sh
# Runs a test program that needs a display and the web engine: under xvfb-run
# when there is no display, skipped (77) when neither is there.
set -eu
if [ -z "${DISPLAY:-}" ]; then
    if command -v xvfb-run >/dev/null 2>&1; then
        exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
    fi
    echo "no display and no xvfb-run; skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# Chromium refuses to run as root inside its sandbox, and there is no GPU here.
export QTWEBENGINE_DISABLE_SANDBOX=1 QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
"$@"
