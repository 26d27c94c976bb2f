#!/usr/bin/env bash
# Builds the sanitize preset (address and undefined-behaviour sanitizers) and
# runs every test under it, as scripts/test-all.sh does for the default preset.
# Any sanitizer report fails the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset sanitize
cmake --build --preset sanitize
# The window tests need a display; Qt WebEngine needs these as root.
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
# Software drawing: the system's OpenGL driver is loaded in a way the leak
# checker cannot name, so its leaks could not be told from ours.
export QT_XCB_GL_INTEGRATION=none QT_QUICK_BACKEND=software
# Leaks inside Qt WebEngine (Chromium), fontconfig and D-Bus are not ours;
# scripts/lsan.supp names them and nothing of Tessarel's own.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
checks="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
run() { xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset sanitize --timeout 1800 "$@"; }
status=0
# The end-to-end and browser tests run the real browser, and Chromium frees
# some objects through a base class of another size: that check is off for
# these tests alone.
browser='^(app_end_to_end|app_live_preview_browser|search_page_in_browser)$'
ASAN_OPTIONS="$checks" run -E "$browser" || status=$?
ASAN_OPTIONS="$checks:new_delete_type_mismatch=0" run -R "$browser" || status=$?
exit $status
